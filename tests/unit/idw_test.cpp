// Inverse-distance weighting: the worked examples, the limits, the power
// forms, zero distances, and the per-run plan giving the same doubles.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "fatal_error.h"
#include "idw.h"
#include "idw_plan.h"
#include "run_state.h"

namespace {

using pluvo::PluvoRun;

struct IdwFixture : ::testing::Test {
  textio::OutputBuffer console;
  textio::TextReader answers;
  PluvoRun run{console, answers};
  double values[pluvo::FIRST_ROOM_SLOTS] = {};

  void SetUp() override {
    run.params.nodata = 998.0;
    run.params.lower_limit = -1e9;
    run.params.lower_replacement = -1e9;
    run.params.upper_limit = 1e9;
    run.params.upper_replacement = 1e9;
    // Sources A (1, 0) = 10 and B (0, 2) = 4, target at the origin.
    run.stations.x[1] = 1.0;
    run.stations.y[1] = 0.0;
    run.stations.x[2] = 0.0;
    run.stations.y[2] = 2.0;
    values[1] = 10.0;
    values[2] = 4.0;
  }

  double estimate(double power, double max_distance) {
    run.params.power = power;
    run.params.max_distance = max_distance;
    pluvo::interpolate_idw(run, values, {1, 2}, {3, 3});
    return values[3];
  }
};

TEST_F(IdwFixture, WorkedExamples) {
  EXPECT_DOUBLE_EQ(estimate(2.0, 5.0), 8.8);
  EXPECT_EQ(estimate(2.0, 1.5), 10.0);  // only A in range
  EXPECT_DOUBLE_EQ(estimate(1.0, 5.0), 8.0);
  EXPECT_EQ(estimate(2.0, 1.0), 10.0);   // A at exactly the maximum distance counts
  EXPECT_EQ(estimate(2.0, 0.999), 0.0);  // nothing in range
  EXPECT_EQ(estimate(2.0, -1.5), 10.0);  // a negative distance acts like its absolute value
  EXPECT_DOUBLE_EQ(estimate(0.0, 5.0), 7.0);  // power 0: the plain mean
}

TEST_F(IdwFixture, PowerFormsFollowRoundingOfThousandths) {
  const struct {
    double power;
    std::int64_t kind;
  } cases[] = {{1.0004, 1000}, {0.9995, 1000}, {1.0005, 1001}, {1.0006, 1001}, {2.0004, 2000}, {1.9994, 1999}};
  for (const auto& c : cases) EXPECT_EQ(pluvo::weight_form(c.power).kind, c.kind) << c.power;
  // The exact form for 1.0004 and the general form for 1.0006.
  EXPECT_EQ(pluvo::idw_weight(pluvo::weight_form(1.0004), 4.0), 0.5);
  EXPECT_EQ(pluvo::idw_weight(pluvo::weight_form(1.0006), 4.0), 1.0 / std::pow(2.0, 1.0006 * std::log2(2.0)));
  EXPECT_EQ(pluvo::idw_weight(pluvo::weight_form(2.3), 9.0), 1.0 / std::pow(2.0, 2.3 * std::log2(3.0)));
}

TEST_F(IdwFixture, MissingSourcesAreIgnored) {
  values[2] = -998.0;  // equal to -nodata: missing
  EXPECT_EQ(estimate(2.0, 5.0), 10.0);
  values[2] = -997.9;  // just above: counts
  EXPECT_NE(estimate(2.0, 5.0), 10.0);
}

TEST_F(IdwFixture, LimitsReplaceEstimatesStrictlyBeyondThem) {
  run.params.lower_limit = 8.8;
  run.params.lower_replacement = -1.0;
  EXPECT_DOUBLE_EQ(estimate(2.0, 5.0), 8.8);  // equal to the limit: stands
  run.params.lower_limit = 9.0;
  EXPECT_EQ(estimate(2.0, 5.0), -1.0);
  run.params.lower_limit = 0.0;
  run.params.upper_limit = 8.0;
  run.params.upper_replacement = 99.0;
  EXPECT_EQ(estimate(2.0, 5.0), 99.0);
  // No source in range gives 0.0, and a lower limit above it replaces that.
  run.params.lower_limit = 0.5;
  EXPECT_EQ(estimate(2.0, 0.1), -1.0);
}

TEST_F(IdwFixture, NotANumberTakesTheLowerReplacement) {
  run.params.lower_replacement = -5.0;
  // A power so negative that B's weight overflows: inf/inf for its term.
  EXPECT_EQ(estimate(-1e6, 5.0), -5.0);
}

TEST_F(IdwFixture, SourcesOnTheTargetGiveTheirMean) {
  run.stations.x[3] = 1.0;  // target on A
  EXPECT_EQ(estimate(2.0, 5.0), 10.0);
  EXPECT_EQ(estimate(2.3, 5.0), 10.0);
  run.stations.x[2] = 1.0;  // B on the target too
  run.stations.y[2] = 0.0;
  EXPECT_EQ(estimate(1.0, 5.0), 7.0);
  values[1] = -999.0;  // a missing coincident source does not count
  EXPECT_EQ(estimate(2.0, 5.0), 4.0);
}

TEST_F(IdwFixture, EmptyTargetRangeChangesNothing) {
  values[3] = 42.0;
  run.params.power = 2.0;
  run.params.max_distance = 5.0;
  pluvo::interpolate_idw(run, values, {1, 2}, {3, 2});
  EXPECT_EQ(values[3], 42.0);
}

TEST_F(IdwFixture, FailedWeightArrayEndsWithCodeTwo) {
  try {
    run.params.power = 2.0;
    run.params.max_distance = 5.0;
    run.seam = pluvo::AllocationSeam{pluvo::ALLOC_WEIGHTS};
    pluvo::interpolate_idw(run, values, {1, 2}, {3, 3});
    FAIL() << "no failure";
  } catch (const textio::FatalError& e) {
    EXPECT_EQ(e.code, 2);
    EXPECT_EQ(e.message, "Speicherbelegungsfehler ! (2)\n");
    EXPECT_TRUE(e.to_stderr);
  }
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The plan must give the same doubles as the plain routine, hour after hour
// (so that kept normalised weights are exercised), for any power, distance
// and pattern of missing values.
TEST(IdwPlan, GivesTheSameDoublesAsThePlainRoutine) {
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> coord(0.0, 100000.0);
  std::uniform_real_distribution<double> rain(0.0, 30.0);
  std::uniform_int_distribution<int> pick(0, 99);
  const double powers[] = {2.0, 1.0, 2.3, 0.0, 1.0004, 2.0006, -1.5, 3.7, 700.0};
  const double distances[] = {60000.0, 1e9, 20000.0, 0.0, -30000.0, std::numeric_limits<double>::quiet_NaN()};

  for (double power : powers) {
    for (double max_distance : distances) {
      textio::OutputBuffer console;
      textio::TextReader answers;
      PluvoRun run(console, answers);
      run.params.nodata = 998.0;
      run.params.lower_limit = 0.0;
      run.params.lower_replacement = 0.0;
      run.params.upper_limit = 25.0;
      run.params.upper_replacement = 25.0;
      const int nA = 40;
      const int first_target = nA + 1;
      const int last_target = nA + 17;
      for (int i = 1; i <= last_target; ++i) {
        run.stations.x[i] = std::round(coord(rng) / 1000.0) * 1000.0;
        run.stations.y[i] = std::round(coord(rng) / 1000.0) * 1000.0;
      }
      // Two targets stand on sources.
      run.stations.x[first_target] = run.stations.x[3];
      run.stations.y[first_target] = run.stations.y[3];
      run.stations.x[last_target] = run.stations.x[nA];
      run.stations.y[last_target] = run.stations.y[nA];

      run.params.power = power;
      run.params.max_distance = max_distance;
      const pluvo::StationGroup sources{.first = 1, .last = nA};
      const pluvo::StationGroup targets{.first = first_target, .last = last_target};
      pluvo::IdwPlan plan;
      pluvo::build_idw_plan(plan, run, sources, targets);
      double plain[pluvo::FIRST_ROOM_SLOTS];
      double planned[pluvo::FIRST_ROOM_SLOTS];
      for (int hour = 0; hour < 300; ++hour) {
        for (int i = 1; i <= nA; ++i) {
          const int r = pick(rng);
          // Mostly dry hours, outages that persist, a few odd values.
          plain[i] = r < 60 ? 0.0 : rain(rng);
          if ((i + hour / 50) % 7 == 0 || r == 99) plain[i] = -999.0;
          if (r == 98 && hour % 3 == 0) plain[i] = std::numeric_limits<double>::infinity();
          if (r == 97) plain[i] = std::numeric_limits<double>::quiet_NaN();
          if (r == 96) plain[i] = -0.0;
        }
        std::memcpy(planned, plain, sizeof plain);
        pluvo::interpolate_idw(run, plain, sources.span(), targets.span());
        pluvo::interpolate_planned(plan, run, planned);
        for (int t = first_target; t <= last_target; ++t) {
          ASSERT_TRUE(same_bits(plain[t], planned[t]))
              << "power " << power << " distance " << max_distance << " hour " << hour << " target " << t << ": "
              << plain[t] << " vs " << planned[t];
        }
      }
    }
  }
}

// The same on station sets whose geometry gives odd weights: distances so
// small that weights are infinite or sums overflow, so large that weights
// are zero, a coordinate that is NaN, sources on targets, more sources than
// one word of a source set holds, and one target or an odd number of them.
TEST(IdwPlan, GivesTheSameDoublesOnOddGeometry) {
  const struct {
    const char* what;
    int sources;
    int targets;
    double scale;     // coordinates are small integers times this
    bool nan_target;  // the first target's x is NaN
  } sets[] = {
      {"ordinary, words crossed", 70, 29, 1000.0, false},
      {"one target", 60, 1, 1000.0, false},
      {"tiny distances", 20, 7, 1e-160, false},
      {"huge distances", 20, 8, 1e154, false},
      {"NaN coordinate", 12, 5, 1000.0, true},
      {"all sources", 99, 1, 1.0, false},
  };
  const double powers[] = {2.0, 1.0, 2.3, 0.0, -1.5};
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<int> grid(0, 12);
  std::uniform_int_distribution<int> pick(0, 99);
  std::uniform_real_distribution<double> rain(0.0, 30.0);
  for (const auto& set : sets) {
    for (double power : powers) {
      for (double reach : {5.0, 1e300}) {
        textio::OutputBuffer console;
        textio::TextReader answers;
        PluvoRun run(console, answers);
        run.params.nodata = 998.0;
        run.params.lower_limit = -1e9;
        run.params.lower_replacement = -5.0;
        run.params.upper_limit = 1e9;
        run.params.upper_replacement = 1e9;
        const int first_target = set.sources + 1;
        const int last_target = set.sources + set.targets;
        for (int i = 1; i <= last_target; ++i) {
          run.stations.x[i] = grid(rng) * set.scale;
          run.stations.y[i] = grid(rng) * set.scale;
        }
        if (set.nan_target) run.stations.x[first_target] = std::numeric_limits<double>::quiet_NaN();
        const double max_distance = reach * set.scale;

        pluvo::IdwPlan plan;
        run.params.power = power;
        run.params.max_distance = max_distance;
        pluvo::build_idw_plan(plan, run, pluvo::StationGroup{.first = 1, .last = set.sources},
                              pluvo::StationGroup{.first = first_target, .last = last_target});
        double plain[pluvo::FIRST_ROOM_SLOTS] = {};
        double planned[pluvo::FIRST_ROOM_SLOTS];
        for (int hour = 0; hour < 120; ++hour) {
          for (int i = 1; i <= set.sources; ++i) {
            const int r = pick(rng);
            plain[i] = r < 50 ? 0.0 : r < 95 ? rain(rng) : r < 98 ? -999.0 : -3.0;
            if ((i + hour / 20) % 9 == 0) plain[i] = -999.0;  // outages that persist
          }
          std::memcpy(planned, plain, sizeof plain);
          pluvo::interpolate_idw(run, plain, {1, set.sources}, {first_target, last_target});
          pluvo::interpolate_planned(plan, run, planned);
          for (int t = first_target; t <= last_target; ++t) {
            ASSERT_TRUE(same_bits(plain[t], planned[t]))
                << set.what << ", power " << power << " reach " << reach << " hour " << hour << " target " << t
                << ": " << plain[t] << " vs " << planned[t];
          }
        }
      }
    }
  }
}

}  // namespace
