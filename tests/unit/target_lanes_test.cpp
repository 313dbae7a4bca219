// The vector forms of the planned weighting's row operations and source
// scan against their portable twins, bit for bit, on rows of every length
// up to the station capacity and on values that are no ordinary numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "source_mask.h"
#include "source_scan.h"
#include "target_lanes.h"

namespace {

const double INF = std::numeric_limits<double>::infinity();
const double NAN_ = std::numeric_limits<double>::quiet_NaN();

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Bit for bit, except that any NaN equals any other: which operand's NaN an
// addition of two NaNs passes on depends on the order the compiler gives
// the operands, and no NaN estimate reaches the output (the lower
// replacement takes its place).
bool same_double(double a, double b) { return (std::isnan(a) && std::isnan(b)) || same_bits(a, b); }

// Mostly ordinary weights and values, with the odd ones sprinkled in.
std::vector<double> row(std::mt19937_64& rng, int n) {
  std::uniform_real_distribution<double> ordinary(-50.0, 50.0);
  std::uniform_int_distribution<int> pick(0, 19);
  const double odd[] = {0.0, -0.0, INF, -INF, NAN_, 4.9e-324, 1e-310, 1.7976931348623157e308, -998.0, -999.0};
  std::vector<double> r(static_cast<std::size_t>(n));
  for (double& v : r) {
    const int k = pick(rng);
    v = k < 10 ? odd[k] : ordinary(rng);
  }
  return r;
}

TEST(TargetLanes, SimdRowsAgreeWithThePortableLoops) {
#if defined(__SSE2__)
  std::mt19937_64 rng(13);
  for (int n = 0; n <= 100; ++n) {
    for (int round = 0; round < 20; ++round) {
      const std::vector<double> a = row(rng, n);
      const std::vector<double> b = row(rng, n);
      const double factor = row(rng, 1)[0];
      std::vector<std::uint64_t> keep(static_cast<std::size_t>(n));
      for (std::size_t t = 0; t < keep.size(); ++t) keep[t] = (rng() & 1) ? ~std::uint64_t{0} : 0;

      std::vector<double> plain = a;
      std::vector<double> simd = a;
      pluvo::lanes::add_row_portable(plain.data(), b.data(), n);
      pluvo::lanes::add_row_sse2(simd.data(), b.data(), n);
      for (int t = 0; t < n; ++t) ASSERT_TRUE(same_double(plain[t], simd[t])) << "add, n " << n << " lane " << t;

      plain = a;
      simd = a;
      pluvo::lanes::add_scaled_row_portable(plain.data(), b.data(), factor, n);
      pluvo::lanes::add_scaled_row_sse2(simd.data(), b.data(), factor, n);
      for (int t = 0; t < n; ++t) ASSERT_TRUE(same_double(plain[t], simd[t])) << "scaled, n " << n << " lane " << t;

      pluvo::lanes::divide_kept_portable(plain.data(), a.data(), b.data(), keep.data(), n);
      pluvo::lanes::divide_kept_sse2(simd.data(), a.data(), b.data(), keep.data(), n);
      for (int t = 0; t < n; ++t) ASSERT_TRUE(same_double(plain[t], simd[t])) << "divide, n " << n << " lane " << t;
    }
  }
#else
  GTEST_SKIP() << "no SSE2 on this machine: only the portable loops are built";
#endif
}

TEST(TargetLanes, DividedRowsAreZeroWhereASourceDoesNotReach) {
  const double weight[] = {1.0, 0.0, 2.0, 0.0};
  const double sum[] = {4.0, 0.0, 0.0, NAN_};
  const std::uint64_t keep[] = {~std::uint64_t{0}, 0, ~std::uint64_t{0}, 0};
  double out[4];
  pluvo::lanes::divide_kept(out, weight, sum, keep, 4);
  EXPECT_EQ(out[0], 0.25);
  EXPECT_TRUE(same_bits(out[1], 0.0));  // 0 / 0 would be NaN
  EXPECT_EQ(out[2], INF);
  EXPECT_TRUE(same_bits(out[3], 0.0));
}

std::vector<int> members(const pluvo::SourceMask& m) {
  std::vector<int> j;
  pluvo::for_each_source(m, [&](int s) { j.push_back(s); });
  return j;
}

TEST(SourceScan, FindsValidAndRainingSourcesAndInfinity) {
  // lowest valid value -998: -998 itself is missing, NaN never counts.
  const double values[] = {0.0, -998.0, -997.9, 3.5, NAN_, -0.0, -999.0, INF, -INF};
  const pluvo::SourceScan s = pluvo::scan_sources(values, 9, -998.0);
  EXPECT_EQ(members(s.valid), (std::vector<int>{0, 2, 3, 5, 7}));
  EXPECT_EQ(members(s.raining), (std::vector<int>{2, 3, 7}));
  EXPECT_TRUE(s.infinite);
  EXPECT_FALSE(pluvo::scan_sources(values, 7, -998.0).infinite);
}

TEST(SourceScan, SimdScanAgreesWithThePortableLoop) {
#if defined(__SSE2__)
  std::mt19937_64 rng(29);
  for (int n = 0; n <= 100; ++n) {
    for (int round = 0; round < 30; ++round) {
      const std::vector<double> v = row(rng, n);
      for (double lowest : {-998.0, 0.0, -INF, NAN_}) {
        const pluvo::SourceScan plain = pluvo::scan_sources_portable(v.data(), n, lowest);
        const pluvo::SourceScan simd = pluvo::scan_sources_sse2(v.data(), n, lowest);
        ASSERT_TRUE(plain.valid == simd.valid) << "n " << n << " lowest " << lowest;
        ASSERT_TRUE(plain.raining == simd.raining) << "n " << n << " lowest " << lowest;
        ASSERT_EQ(plain.infinite, simd.infinite) << "n " << n << " lowest " << lowest;
      }
    }
  }
#else
  GTEST_SKIP() << "no SSE2 on this machine: only the portable loop is built";
#endif
}

TEST(SourceMask, VisitsItsMembersInAscendingOrderAcrossBothWords) {
  pluvo::SourceMask m;
  for (int j : {99, 0, 64, 63, 1, 70}) m.set(j);
  EXPECT_EQ(members(m), (std::vector<int>{0, 1, 63, 64, 70, 99}));
  EXPECT_TRUE(members(pluvo::SourceMask{}).empty());
}

}  // namespace
