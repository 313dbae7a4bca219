// The formatters must write exactly what printf writes for the same value.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "number_format.h"
#include "one_decimal_format.h"

namespace {

std::string printf_format(const char* format, double v) {
  char buf[512];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string ours_one_decimal(double v) {
  char buf[textio::MAX_NUMBER_CHARS];
  return std::string(buf, textio::format_one_decimal(buf, v));
}

TEST(OneDecimal, AgreesWithPrintfOnChosenValues) {
  const double cases[] = {0.0,     -0.0,    0.05,    0.15,     0.25,    0.35,  0.45,   0.75,  1.25,   2.5,
                          -0.04,   -0.05,   -0.25,   -999.0,   -9990.0, 123.45, 999.95, 1e-300, 5e-324, 0.94999999999999996,
                          1e14,    999999999999999.9, 1e15, 1e16, 1e300, -1e300,
                          std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN()};
  for (double v : cases) {
#ifdef _WIN32
    // MinGW's printf drops the sign of -NaN; NaNKeepsItsSign holds ours.
    if (std::isnan(v)) continue;
#endif
    EXPECT_EQ(ours_one_decimal(v), printf_format("%.1f", v)) << "value " << v;
  }
}

// Our formatting prints a NaN with its sign, as glibc's printf does, on every
// platform; the C library of MinGW prints "nan" for both.
TEST(OneDecimal, NaNKeepsItsSign) {
  EXPECT_EQ(ours_one_decimal(std::numeric_limits<double>::quiet_NaN()), "nan");
  EXPECT_EQ(ours_one_decimal(-std::numeric_limits<double>::quiet_NaN()), "-nan");
}

TEST(OneDecimal, AgreesWithPrintfOnRandomValues) {
  std::mt19937_64 rng(20261210);
  std::uniform_real_distribution<double> small(-1000.0, 1000.0);
  std::uniform_int_distribution<long long> quarters(-4000000, 4000000);
  std::uniform_int_distribution<int> exponent(-20, 50);
  for (int n = 0; n < 300000; ++n) {
    double v = 0.0;
    switch (n % 4) {
      case 0: v = small(rng); break;
      case 1: v = static_cast<double>(quarters(rng)) / 4.0; break;  // exact ties at .x5
      case 2: v = static_cast<double>(quarters(rng)) / 20.0; break;  // near ties
      default: v = small(rng) * std::pow(10.0, exponent(rng)); break;
    }
    ASSERT_EQ(ours_one_decimal(v), printf_format("%.1f", v)) << "value " << v;
  }
}

TEST(Fixed, AgreesWithPrintfForEveryPrecisionUpToSix) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-8, 16);
  std::uniform_int_distribution<long long> halves(-2000000000LL, 2000000000LL);
  for (int precision = 0; precision <= 6; ++precision) {
    const std::string format = "%." + std::to_string(precision) + "f";
    for (int n = 0; n < 60000; ++n) {
      double v = unit(rng) * std::pow(10.0, exponent(rng));
      if (n % 3 == 0) v = static_cast<double>(halves(rng)) / std::pow(2.0, 1 + n % 9);  // exact ties
      char buf[textio::MAX_NUMBER_CHARS];
      ASSERT_EQ(std::string(buf, textio::format_fixed(buf, v, precision)), printf_format(format.c_str(), v))
          << "precision " << precision << " value " << v;
    }
  }
}

TEST(FixedAndGeneral, AgreeWithPrintf) {
  const double cases[] = {0.0, 6.0, 0.5, 12.0, 1.9166666666666667, 999999.0, 1000000.0, 1234567.0, -99999.0,
                          1e-5, 123.456789, 1e300, std::numeric_limits<double>::infinity()};
  for (double v : cases) {
    char buf[textio::MAX_NUMBER_CHARS];
    EXPECT_EQ(std::string(buf, textio::format_general(buf, v, 6)), printf_format("%g", v)) << v;
    EXPECT_EQ(std::string(buf, textio::format_fixed(buf, v, 6)), printf_format("%f", v)) << v;
    EXPECT_EQ(std::string(buf, textio::format_fixed(buf, v, 0)), printf_format("%.0f", v)) << v;
    EXPECT_EQ(std::string(buf, textio::format_fixed(buf, v, 4)), printf_format("%.4f", v)) << v;
  }
}

}  // namespace

namespace {

// The one-decimal fast path against its plain twin (format_fixed) and
// printf: ties and their neighbours, the places where the number of digits
// or the path changes, zeros, denormals and values that are no numbers.
TEST(OneDecimal, FastPathAgreesWithItsPlainTwinAtItsBorders) {
  const double inf = std::numeric_limits<double>::infinity();
  const double borders[] = {0.0,     -0.0,   0.05,    0.25,   0.35,   0.45,    0.95,   9.95,    99.95,
                            999.95,  9999.95, 99999.95, 0.94999999999999996, 9.949999999999999, 1e14, 1e15,
                            99999999999999.95, 1e14 - 1.0, 4.9e-324, 2.2250738585072014e-308, 1e-310,
                            -1e-310, 1.7976931348623157e308, -999.0, -9990.0, -9999.0, 1e300, inf, -inf,
                            std::numeric_limits<double>::quiet_NaN()};
  for (double b : borders) {
    for (double v : {b, std::nextafter(b, inf), std::nextafter(b, -inf), -b}) {
      char fast[textio::MAX_NUMBER_CHARS];
      char plain[textio::MAX_NUMBER_CHARS];
      const std::string f(fast, textio::format_one_decimal(fast, v));
      const std::string p(plain, textio::format_fixed(plain, v, 1));
      EXPECT_EQ(f, p) << "value " << v;
#ifdef _WIN32
      // MinGW's printf drops the sign of -NaN; NaNKeepsItsSign holds ours.
      if (std::isnan(v)) continue;
#endif
      EXPECT_EQ(f, printf_format("%.1f", v)) << "value " << v;
    }
  }
}

TEST(OneDecimal, DigitsOfUnsignedIntegersAgreeWithToChars) {
  const std::uint64_t cases[] = {0, 1, 9, 10, 11, 99, 100, 101, 999, 1000, 9999, 10000, 10001, 123456789,
                                 99999999999999ULL, 18446744073709551615ULL};
  for (std::uint64_t n : cases) {
    char ours[24];
    const std::string expected = std::to_string(n);
    EXPECT_EQ(std::string(ours, textio::write_unsigned(ours, n)), expected);
  }
}

}  // namespace
