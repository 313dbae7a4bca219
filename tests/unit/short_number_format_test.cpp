// The fast paths of "%.6g" and "%.6f" against format_general and
// format_fixed, their plain twins, and against printf: the same bytes for
// every value they accept.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

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

std::string fast_general_six(double v) {
  char buf[textio::MAX_NUMBER_CHARS];
  char* end = textio::format_general_six(buf, v);
  return end ? std::string(buf, static_cast<std::size_t>(end - buf)) : std::string("(declined)");
}

std::string fast_six_decimals(double v) {
  char buf[textio::MAX_NUMBER_CHARS];
  char* end = textio::format_six_decimals(buf, v);
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

// Every value of the fast range and its neighbours, the limits of int and
// values of every length: the bytes of "%d", and nothing written beyond the
// four bytes of room promised.
TEST(FormatInt, AgreesWithPrintf) {
  std::vector<int> values;
  for (int v = -20; v <= 10020; ++v) values.push_back(v);
  for (const int v : {std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 99999, 100000, -9999,
                      123456789, -1000000000}) {
    values.push_back(v);
  }
  for (const int v : values) {
    char buf[32];
    std::memset(buf, '#', sizeof buf);
    char* end = textio::format_int(buf, v);
    const std::string expected = std::to_string(v);
    ASSERT_EQ(std::string(buf, end), expected);
    for (std::size_t i = expected.size() + 4; i < sizeof buf; ++i) ASSERT_EQ(buf[i], '#') << v;
  }
}

// Values where "%.6g" and "%.6f" change their form, round into a new
// digit or sit on a tie, and values the fast paths leave to the general
// ones. Where the six-digit path of "%g" accepts, so does the shorter one
// from 0.1 on, and both give printf's bytes.
TEST(SixDigitFormats, AgreeOnEdgeValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double denormal = std::numeric_limits<double>::denorm_min();
  struct Case {
    double v;
    bool general_accepted;
    bool fixed_accepted;
  };
  const Case cases[] = {
      {0.0, true, true},
      {-0.0, true, true},
      {0.1, true, true},
      {0.09999999999999999, true, true},
      {-0.1, true, true},
      {0.0416666666666666666, true, true},  // a mean of 1 over 24 hours
      {-0.05, true, true},
      {0.099999949999, true, true},
      {0.09999995, true, true},           // "0.1"
      {0.0099999995, true, true},         // "0.01"
      {0.00099999995, true, true},        // "0.001"
      {0.000999999949, true, true},
      {0.01, true, true},
      {0.001, true, true},
      {0.0001, true, true},
      {-0.0001, true, true},
      {0.00012345650000000001, true, true},  // next to a decimal tie
      {0.0001234565, true, true},
      {0.0009999995, true, true},
      {0.00009999999999999999, false, true},  // the double below 10^-4: "9.99999e-05"
      {0.000099999995, false, true},          // rounds to 10^-4 from below: left to the general way
      {0.9999995, true, true},
      {0.99999949999, true, true},
      {0.0000005, false, true},   // a decimal tie, but its double lies just off it
      {0.0000015, false, true},
      {-0.0000004, false, true},  // "-0.000000"
      {1e-5, false, true},
      {1.0, true, true},
      {9.999995, true, true},
      {9.9999995, true, true},
      {99999.95, true, true},
      {99999.949, true, true},
      {999999.0, true, true},
      {999999.4, true, true},
      {999999.5, false, true},
      {1000000.0, false, true},
      {12.3, true, true},
      {0.125, true, true},
      {2.5, true, true},
      {0.0000025, false, true},
      {1234.5625, true, true},
      {-99999.0, true, true},
      {100.0, true, true},
      {3999999999.9999995, false, true},
      {4e9, false, false},
      {1e300, false, false},
      {denormal, false, true},
      {-denormal, false, true},
      {inf, false, false},
      {-inf, false, false},
      {nan, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("value " + printf_format(17, 'g', c.v));
    const std::string general = fast_general_six(c.v);
    EXPECT_EQ(general != "(declined)", c.general_accepted);
    if (general != "(declined)") {
      EXPECT_EQ(general, printf_format(6, 'g', c.v));
      EXPECT_EQ(general, plain_general(c.v, 6));
      // The shorter path stops at 0.1.
      if (std::fabs(c.v) >= 0.1 || c.v == 0.0) {
        EXPECT_EQ(general, fast_general(c.v, 6));
      }
    }
    const std::string fixed = fast_six_decimals(c.v);
    EXPECT_EQ(fixed != "(declined)", c.fixed_accepted);
    if (fixed != "(declined)") {
      EXPECT_EQ(fixed, printf_format(6, 'f', c.v));
      EXPECT_EQ(fixed, plain_fixed(c.v, 6));
    }
  }
}

// Sums of tenths as the rows add them, means of such sums over counts,
// halves of millionths (ties in decimal, rarely in binary), values next
// to powers of ten, and random doubles of every magnitude.
TEST(SixDigitFormats, AgreeOnGeneratedValues) {
  std::mt19937_64 rng(2718);
  std::uniform_int_distribution<long long> tenths(0, 5000);
  std::uniform_int_distribution<long long> halves(-4000000000000LL, 4000000000000LL);
  std::uniform_int_distribution<int> exponent(-8, 10);
  std::uniform_int_distribution<int> ulps(-3, 3);
  std::uniform_real_distribution<double> unit(-10.0, 10.0);
  std::size_t general_accepted = 0;
  std::size_t fixed_accepted = 0;
  for (int n = 0; n < 400000; ++n) {
    double v = 0.0;
    switch (n % 5) {
      case 0: {
        double sum = 0.0;
        for (int i = 0; i < 1 + n % 24; ++i) sum += static_cast<double>(tenths(rng)) / 10.0;
        v = (n / 5) % 2 ? sum : sum / static_cast<double>(1 + n % 100);
        break;
      }
      case 1: v = (static_cast<double>(halves(rng)) + 0.5) / 1e6; break;
      case 2: {
        double power = std::pow(10.0, exponent(rng));
        for (int step = ulps(rng); step != 0; step += step < 0 ? 1 : -1) {
          power = std::nextafter(power, step < 0 ? 0.0 : std::numeric_limits<double>::infinity());
        }
        v = n % 2 ? power : -power;
        break;
      }
      case 3: v = static_cast<double>(halves(rng)) / std::pow(2.0, n % 40); break;  // exact ties
      default: v = unit(rng) * std::pow(10.0, exponent(rng)); break;
    }
    const std::string general = fast_general_six(v);
    if (general != "(declined)") {
      ++general_accepted;
      ASSERT_EQ(general, printf_format(6, 'g', v)) << printf_format(17, 'g', v);
      ASSERT_EQ(general, plain_general(v, 6)) << printf_format(17, 'g', v);
    }
    const std::string fixed = fast_six_decimals(v);
    if (fixed != "(declined)") {
      ++fixed_accepted;
      ASSERT_EQ(fixed, printf_format(6, 'f', v)) << printf_format(17, 'g', v);
      ASSERT_EQ(fixed, plain_fixed(v, 6)) << printf_format(17, 'g', v);
    }
  }
  // Both fast paths were taken, not only declined.
  EXPECT_GT(general_accepted, 100000u);
  EXPECT_GT(fixed_accepted, 200000u);
}

}  // namespace
