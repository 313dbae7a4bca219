// The weighting over the sources in reach against the plain weighting over
// every source: the same doubles for every maximum distance (none in
// reach, some, all, not a number), every power form, coincident sites,
// coordinates that are not finite and odd values, also when the targets
// are split among 1, 2 or 3 threads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "idw.h"
#include "reach_plan.h"
#include "run_state.h"
#include "station_header.h"
#include "worker_team.h"

namespace {

using pluvo::PluvoRun;

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct StationSet {
  const char* what;
  int sources;
  int targets;
  double spacing;    // coordinates are integers on a grid of this many cells, times `scale`
  double scale;
  int coincident;    // targets placed on sources
  bool odd_coordinates;  // one source with NaN x, one with infinite y, one target with NaN y
};

const double NAN_VALUE = std::numeric_limits<double>::quiet_NaN();
const double INF = std::numeric_limits<double>::infinity();

void place(PluvoRun& run, const StationSet& set, std::mt19937_64& rng) {
  const int last = set.sources + set.targets;
  pluvo::ensure_station_room(run, last);
  std::uniform_int_distribution<int> grid(0, static_cast<int>(set.spacing));
  for (int i = 1; i <= last; ++i) {
    run.stations.x[i] = grid(rng) * set.scale;
    run.stations.y[i] = grid(rng) * set.scale;
  }
  std::uniform_int_distribution<int> source(1, set.sources);
  for (int c = 0; c < set.coincident; ++c) {
    const int t = set.sources + 1 + c * 3 % set.targets;
    const int s = source(rng);
    run.stations.x[t] = run.stations.x[s];
    run.stations.y[t] = run.stations.y[s];
  }
  if (set.odd_coordinates) {
    run.stations.x[5] = NAN_VALUE;
    run.stations.y[set.sources - 1] = INF;
    run.stations.y[set.sources + 2] = NAN_VALUE;
  }
}

// One hour's source values: mostly dry, outages that persist, a few odd values.
void fill_hour(double* values, int sources, int hour, std::mt19937_64& rng) {
  std::uniform_int_distribution<int> pick(0, 99);
  std::uniform_real_distribution<double> rain(0.0, 30.0);
  for (int i = 1; i <= sources; ++i) {
    const int r = pick(rng);
    values[i] = r < 60 ? 0.0 : rain(rng);
    if ((i + hour / 40) % 11 == 0 || r == 99) values[i] = -999.0;
    if (r == 98 && hour % 5 == 0) values[i] = INF;
    if (r == 97 && hour % 7 == 0) values[i] = NAN_VALUE;
    if (r == 96) values[i] = -0.0;
    if (r == 95) values[i] = -3.0;
  }
  // Whole hours without a missing value take the shortest way.
  if (hour % 4 == 1) {
    for (int i = 1; i <= sources; ++i) {
      if (!(values[i] > -998.0)) values[i] = 0.0;
    }
  }
}

TEST(ReachPlan, GivesTheSameDoublesAsThePlainWeighting) {
  const StationSet sets[] = {
      {"national, beyond 128 sources", 300, 170, 400.0, 1000.0, 6, false},
      {"small, lanes size", 40, 17, 100.0, 1000.0, 2, false},
      {"coincident and odd coordinates", 150, 40, 20.0, 1000.0, 10, true},
      {"tiny distances", 130, 20, 12.0, 1e-160, 3, false},
      {"huge distances", 130, 20, 12.0, 1e154, 3, false},
  };
  const double powers[] = {2.0, 1.0, 2.3, 0.0, 1.0004, -1.5};
  // In cells of the grid: none in reach (apart from coincident sites),
  // some, all, and the forms that take in every station.
  const double reaches[] = {0.0, 0.5, 30.0, 1e6, INF, NAN_VALUE, -30.0};
  std::mt19937_64 rng(19);
  for (const StationSet& set : sets) {
    for (double power : powers) {
      for (double reach : reaches) {
       // A negative threshold makes zeros missing (tried with one reach).
       for (double nodata : {998.0, -2.0}) {
        if (nodata < 0.0 && reach != 30.0) continue;
        textio::OutputBuffer console;
        textio::TextReader answers;
        PluvoRun run(console, answers);
        run.params.nodata = nodata;
        run.params.lower_limit = -1e9;
        run.params.lower_replacement = -5.0;
        run.params.upper_limit = 1e9;
        run.params.upper_replacement = 1e9;
        run.params.power = power;
        run.params.max_distance = reach * set.scale;
        place(run, set, rng);
        const pluvo::StationGroup sources{.first = 1, .last = set.sources};
        const pluvo::StationGroup targets{.first = set.sources + 1, .last = set.sources + set.targets};
        pluvo::ReachPlan plan;
        pluvo::build_reach_plan(plan, run, sources, targets);

        // Hours are interpolated side by side, each thread with its scratch.
        constexpr int HOURS = 6;
        pluvo::WorkerTeam teams[3];
        std::vector<pluvo::ReachScratch> scratch(3);
        for (int k = 0; k < 3; ++k) {
          teams[k].start(k + 1);
          pluvo::obtain_reach_scratch(scratch[static_cast<std::size_t>(k)], plan, run);
        }
        const std::size_t slots = static_cast<std::size_t>(targets.last) + 1;
        std::vector<std::vector<double>> plain(HOURS, std::vector<double>(slots));
        std::vector<std::vector<double>> reached(HOURS);
        for (int batch = 0; batch < 8; ++batch) {
          std::vector<std::vector<double>> hour_values(HOURS);
          for (int h = 0; h < HOURS; ++h) {
            fill_hour(plain[h].data(), set.sources, batch * HOURS + h, rng);
            hour_values[h] = plain[h];
            pluvo::interpolate_idw(run, plain[h].data(), sources.span(), targets.span());
          }
          for (pluvo::WorkerTeam& team : teams) {
            reached = hour_values;
            auto task = [&](int part) {
              const pluvo::PartRange r = pluvo::part_range(0, HOURS - 1, part, team.size());
              for (int h = r.first; h <= r.last; ++h) {
                pluvo::interpolate_in_reach(plan, run, reached[h].data(), scratch[static_cast<std::size_t>(part)]);
              }
            };
            team.run(task);
            for (int h = 0; h < HOURS; ++h) {
              for (int t = targets.first; t <= targets.last; ++t) {
                ASSERT_TRUE(same_bits(plain[h][t], reached[h][t]))
                    << set.what << ", power " << power << ", reach " << reach << ", hour " << batch * HOURS + h
                    << ", target " << t << ", " << team.size() << " threads: " << plain[h][t] << " vs "
                    << reached[h][t];
              }
            }
          }
        }
       }
      }
    }
  }
}

// The reach of each target is what the plain test of every pair gives:
// a source at exactly the maximum distance is in reach, one just beyond
// is not, and the members are in ascending station index.
TEST(ReachPlan, MembersAreThePairsWithinTheMaximumDistance) {
  textio::OutputBuffer console;
  textio::TextReader answers;
  PluvoRun run(console, answers);
  run.params.power = 2.0;
  run.params.max_distance = 5.0;
  // Target 5 at (0, 0); sources at distance 5 (in), 5 + 1e-12 (out), 3 (in)
  // and 0 (on the target).
  const double xs[] = {0.0, 3.0, 5.0 + 1e-12, -3.0, 0.0, 0.0};
  const double ys[] = {0.0, 4.0, 0.0, 0.0, 0.0, 0.0};
  for (int i = 1; i <= 5; ++i) {
    run.stations.x[i] = xs[i];
    run.stations.y[i] = ys[i];
  }
  pluvo::ReachPlan plan;
  pluvo::build_reach_plan(plan, run, pluvo::StationGroup{.first = 1, .last = 4},
                          pluvo::StationGroup{.first = 5, .last = 5});
  EXPECT_EQ(plan.member, (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(plan.has_zero, (std::vector<char>{1}));
  EXPECT_EQ(plan.weight[0], 1.0 / 25.0);
  EXPECT_EQ(plan.weight[1], 1.0 / 9.0);
  EXPECT_EQ(plan.weight[2], INF);
}

TEST(PartRange, SplitsIntoOrderedPartsOfNearlyEqualSize) {
  const struct {
    int first, last, parts;
    std::vector<int> lasts;
  } cases[] = {
      {1, 10, 3, {3, 6, 10}},
      {5, 5, 3, {4, 4, 5}},    // two empty parts, then the one station
      {7, 6, 2, {6, 6}},       // nothing to split
      {101, 3100, 2, {1600, 3100}},
  };
  for (const auto& c : cases) {
    int expected_first = c.first;
    for (int part = 0; part < c.parts; ++part) {
      const pluvo::PartRange r = pluvo::part_range(c.first, c.last, part, c.parts);
      EXPECT_EQ(r.first, expected_first) << c.first << ".." << c.last << " part " << part;
      EXPECT_EQ(r.last, c.lasts[static_cast<std::size_t>(part)]) << c.first << ".." << c.last << " part " << part;
      expected_first = r.last + 1;
    }
  }
}

}  // namespace
