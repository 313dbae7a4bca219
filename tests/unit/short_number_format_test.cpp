// The fast paths of "%.6g" and "%.6f" against format_general and
// format_fixed, their plain twins, and against printf: the same bytes for
// every value they accept.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "number_format.h"
#include "short_number_format.h"

namespace {

std::string printf_format(int precision, char conversion, double v) {
  const std::string format = "%." + std::to_string(precision) + conversion;
  char buf[512];
  std::snprintf(buf, sizeof buf, format.c_str(), v);
  return buf;
}

// The fast path's text, or "(declined)".
std::string fast_general(double v, int precision) {
  char buf[textio::MAX_NUMBER_CHARS];
  char* end = textio::format_general_short(buf, v, precision);
  return end ? std::string(buf, static_cast<std::size_t>(end - buf)) : std::string("(declined)");
}

std::string fast_fixed_whole(double v, int precision) {
  char buf[textio::MAX_NUMBER_CHARS];
  char* end = textio::format_fixed_whole(buf, v, precision);
  return end ? std::string(buf, static_cast<std::size_t>(end - buf)) : std::string("(declined)");
}

std::string plain_general(double v, int precision) {
  char buf[textio::MAX_NUMBER_CHARS];
  return std::string(buf, textio::format_general(buf, v, precision));
}

std::string plain_fixed(double v, int precision) {
  char buf[textio::MAX_NUMBER_CHARS];
  return std::string(buf, textio::format_fixed(buf, v, precision));
}

// Values where "%g" changes its form or rounds into a new digit.
TEST(GeneralShort, AgreesOnEdgeValues) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double v;
    bool accepted;
  };
  const Case cases[] = {
      {0.0, true},        {-0.0, true},      {0.1, true},       {0.09999999999999999, false},
      {-0.1, true},       {0.123456789, true}, {0.9999995, true},  {0.99999949999, true},
      {1.0, true},        {9.999995, true},  {9.9999949, true},  {99999.95, true},
      {99999.949, true},  {999999.0, true},  {999999.4, true},   {999999.5, false},
      {1000000.0, false}, {12.3, true},      {-999.0, true},     {-99999.0, true},
      {1e-5, false},      {1e300, false},    {inf, false},       {-inf, false},
      {std::numeric_limits<double>::quiet_NaN(), false},         {0.30000000000000004, true},
      {2.5, true},        {0.125, true},     {1234.5625, true},  {100.0, true},
  };
  for (const Case& c : cases) {
    for (int precision = 1; precision <= 6; ++precision) {
      SCOPED_TRACE("value " + printf_format(17, 'g', c.v) + " precision " + std::to_string(precision));
      const std::string fast = fast_general(c.v, precision);
      if (fast != "(declined)") {
        EXPECT_EQ(fast, plain_general(c.v, precision));
        EXPECT_EQ(fast, printf_format(precision, 'g', c.v));
      }
      if (precision == 6) {
        EXPECT_EQ(fast != "(declined)", c.accepted);
      }
    }
  }
}

// Sums of one- and two-decimal values as a table gives them, ties, and
// random doubles across the accepted range and beyond it.
TEST(GeneralShort, AgreesOnGeneratedValues) {
  std::mt19937_64 rng(4711);
  std::uniform_int_distribution<long long> tenths(-100000000, 100000000);
  std::uniform_int_distribution<int> exponent(-3, 7);
  std::uniform_real_distribution<double> unit(-10.0, 10.0);
  std::size_t accepted = 0;
  for (int n = 0; n < 400000; ++n) {
    double v = 0.0;
    switch (n % 4) {
      case 0: {  // a sum of tenths, added one by one as the rows add them
        double sum = 0.0;
        for (int i = 0; i < 1 + n % 24; ++i) sum += static_cast<double>(tenths(rng) % 500) / 10.0;
        v = sum;
        break;
      }
      case 1: v = static_cast<double>(tenths(rng)) / 100.0; break;
      case 2: v = static_cast<double>(tenths(rng)) / std::pow(2.0, n % 20); break;  // exact ties
      default: v = unit(rng) * std::pow(10.0, exponent(rng)); break;
    }
    const int precision = 1 + n % 6;
    const std::string fast = fast_general(v, precision);
    if (fast == "(declined)") continue;
    ++accepted;
    ASSERT_EQ(fast, plain_general(v, precision)) << printf_format(17, 'g', v) << " precision " << precision;
    ASSERT_EQ(fast, printf_format(precision, 'g', v)) << printf_format(17, 'g', v) << " precision " << precision;
  }
  EXPECT_GT(accepted, 100000u);  // the fast path was taken, not only declined
}

TEST(FixedWhole, AgreesOnWholeNumbersAndDeclinesTheRest) {
  const double two53 = 9007199254740992.0;
  const double cases[] = {0.0,  -0.0,  1.0,   -1.0, 100.0, 24.0,          123456789.0, two53 - 1.0,
                          -(two53 - 1.0), two53, 1e300, 0.5,  -2.5,  0.1, std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN()};
  for (const double v : cases) {
    for (const int precision : {0, 1, 6, 17, 40}) {
      SCOPED_TRACE("value " + printf_format(17, 'g', v) + " precision " + std::to_string(precision));
      const std::string fast = fast_fixed_whole(v, precision);
      const bool whole = std::fabs(v) < two53 && v == std::trunc(v);
      EXPECT_EQ(fast != "(declined)", whole);
      if (whole) {
        EXPECT_EQ(fast, plain_fixed(v, precision));
        EXPECT_EQ(fast, printf_format(precision, 'f', v));
      }
    }
  }
}

}  // namespace
