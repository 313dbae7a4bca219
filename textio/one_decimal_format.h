// "%.1f" for the values of a precipitation table, exact like printf: every
// output row has one such value per station, so it is inlined into the row
// writers. Values of 1e14 and more, infinities and NaN go to format_fixed,
// its plain twin.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "digit_pairs.h"
#include "number_format.h"

namespace textio {

// The digits of n without leading zeros, the general way (to_chars).
char* write_unsigned_long(char* out, std::uint64_t n);

// The digits of n without leading zeros.
inline char* write_unsigned(char* out, std::uint64_t n) {
  if (n < 10) {
    *out = static_cast<char>('0' + n);
    return out + 1;
  }
  if (n < 100) {
    std::memcpy(out, DIGIT_PAIRS + 2 * n, 2);
    return out + 2;
  }
  if (n < 10000) {
    const std::uint64_t high = n / 100;
    const std::uint64_t low = n % 100;
    if (high < 10) {
      *out++ = static_cast<char>('0' + high);
    } else {
      std::memcpy(out, DIGIT_PAIRS + 2 * high, 2);
      out += 2;
    }
    std::memcpy(out, DIGIT_PAIRS + 2 * low, 2);
    return out + 2;
  }
  return write_unsigned_long(out, n);
}

// The exact product a * 10 lies on the other side of the tie that p, its
// rounding to a double, hit: Dekker's product gives its exact error e
// (10 needs no split), a * 10 == p + e, and e decides.
double resolve_one_decimal_tie(double a, double p, double n, double frac);

inline char* format_one_decimal(char* out, double v) {
  // Most hours are dry: +0.0 is by far the most common value.
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  if (bits == 0) {
    std::memcpy(out, "0.0", 3);
    return out + 3;
  }
  const double a = std::fabs(v);
  if (!(a < 1e14)) return format_fixed(out, v, 1);
  // round(a * 10) of the exact product, ties to even as printf rounds. Below
  // 2^52 every half integer is a double, so p is on the same side of a tie
  // as the exact product, or on the tie itself.
  const double p = a * 10.0;
  const double two52 = 4503599627370496.0;
  double n = (p + two52) - two52;  // p rounded to an integer, ties to even
  const double frac = p - n;       // exact
  if (std::fabs(frac) == 0.5) n = resolve_one_decimal_tie(a, p, n, frac);
  const auto tenths = static_cast<std::uint64_t>(n);
  const std::uint64_t units = tenths / 10;

  // Branches on the sign and the number of digits, not arithmetic: they
  // are predicted well on the columns of a table, and so the place of the
  // next value does not wait for this one's digits.
  if (std::signbit(v)) *out++ = '-';
  if (units < 10) {
    out[0] = static_cast<char>('0' + units);
    ++out;
  } else if (units < 100) {
    std::memcpy(out, DIGIT_PAIRS + 2 * units, 2);
    out += 2;
  } else {
    out = write_unsigned(out, units);
  }
  out[0] = '.';
  out[1] = static_cast<char>('0' + tenths % 10);
  return out + 2;
}

}  // namespace textio
