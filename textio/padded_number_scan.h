// Fast paths of "%lf" and "%d" for the common case: plain decimal text
// directly followed by white space ("12", "-0.5", "3."). Inline, because
// they run once for every field of a table.
//
// Each returns the characters taken, or 0 when the general scanner of
// number_scan.h must decide; where it returns more, the general scanner
// gives the same value and takes the same characters. The text must be
// followed by a character that is neither a digit, a point nor white space
// (the reader keeps a NUL behind its buffered input), so no length is
// needed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "number_scan.h"

namespace textio {

inline constexpr double EXACT_POW10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// m / 10.0 for every m below ONE_DECIMAL_COUNT: the same divisions as
// below, made once, for the most common kind of value in a table.
inline constexpr std::size_t ONE_DECIMAL_COUNT = 1024;
struct OneDecimalTable {
  double value[ONE_DECIMAL_COUNT];
  constexpr OneDecimalTable() : value() {
    for (std::size_t m = 0; m < ONE_DECIMAL_COUNT; ++m) value[m] = static_cast<double>(m) / EXACT_POW10[1];
  }
};
inline constexpr OneDecimalTable ONE_DECIMAL{};

inline std::size_t scan_padded_decimal(const char* p, double& value) {
  const char* q = p;
  const bool negative = *q == '-';
  q += (*q == '-') | (*q == '+');
  // Short loops over the digits: their branches are predicted well on the
  // regular columns of a table, which word-at-a-time tricks are not.
  std::uint64_t mantissa = 0;
  unsigned digit;
  const char* const int_start = q;
  while ((digit = static_cast<unsigned char>(*q) - 48u) < 10u) {
    mantissa = mantissa * 10 + digit;
    ++q;
  }
  std::size_t digits = static_cast<std::size_t>(q - int_start);
  std::size_t frac_digits = 0;
  if (*q == '.') {
    const char* const frac_start = ++q;
    while ((digit = static_cast<unsigned char>(*q) - 48u) < 10u) {
      mantissa = mantissa * 10 + digit;
      ++q;
    }
    frac_digits = static_cast<std::size_t>(q - frac_start);
    digits += frac_digits;
  }
  if (!is_c_space(static_cast<unsigned char>(*q)) || digits - 1 >= 15) return 0;
  // At most 15 digits, so exact; one division by an exact power of ten
  // rounds as strtod does.
  double v;
  if (frac_digits == 1 && mantissa < ONE_DECIMAL_COUNT) {
    v = ONE_DECIMAL.value[mantissa];
  } else {
    v = static_cast<double>(mantissa);
    if (frac_digits) v /= EXACT_POW10[frac_digits];
  }
  value = negative ? -v : v;
  return static_cast<std::size_t>(q - p);
}

inline std::size_t scan_padded_integer(const char* p, int& value) {
  const char* q = p;
  const bool negative = *q == '-';
  q += (*q == '-') | (*q == '+');
  const char* const start = q;
  int magnitude = 0;
  unsigned digit;
  while ((digit = static_cast<unsigned char>(*q) - 48u) < 10u && q - start < 9) {
    magnitude = magnitude * 10 + static_cast<int>(digit);
    ++q;
  }
  if (q == start || !is_c_space(static_cast<unsigned char>(*q))) return 0;
  value = negative ? -magnitude : magnitude;
  return static_cast<std::size_t>(q - p);
}

}  // namespace textio
