// The values of a station file are nearly all short decimals such as
// "0.0", "12.5" or "-999.0". This reads exactly that form, directly followed
// by white space, and gives the same double as "%lf": at most five digits
// are exact in a double, and one division by 10 rounds them as strtod
// does. Anything else (more digits, an exponent, a '+', inf, nan, a number
// at the end of the buffered text) is left to the general conversion.
#pragma once

#include <cstddef>

#include "number_scan.h"

namespace pluvo {

// The characters taken, or 0 when the text is not of the short form. The
// text must be followed by a character that is no digit, no point and no
// white space (the reader keeps a NUL behind its buffered input).
inline std::size_t scan_short_decimal(const char* p, double& value) {
  // A dry hour, by far the most common value, checked first; the checks
  // stop at the NUL behind the buffered text.
  if (p[0] == '0' && p[1] == '.' && p[2] == '0' && textio::is_c_space(static_cast<unsigned char>(p[3]))) {
    value = 0.0;
    return 3;
  }
  const bool negative = *p == '-';
  const char* q = p + (negative ? 1 : 0);
  unsigned digit = static_cast<unsigned char>(*q) - 48u;
  if (digit > 9) return 0;
  unsigned mantissa = digit;
  ++q;
  for (int i = 1; i < 4 && (digit = static_cast<unsigned char>(*q) - 48u) <= 9; ++i, ++q) {
    mantissa = mantissa * 10 + digit;
  }
  double v;
  if (*q == '.') {
    digit = static_cast<unsigned char>(q[1]) - 48u;
    if (digit > 9) return 0;
    q += 2;
    // n.0 is n itself, exactly what the division would give; dry hours and
    // missing values all have that form, so most values need no division.
    v = digit == 0 ? static_cast<double>(mantissa) : static_cast<double>(mantissa * 10 + digit) / 10.0;
  } else {
    v = static_cast<double>(mantissa);
  }
  if (!textio::is_c_space(static_cast<unsigned char>(*q))) return 0;
  value = negative ? -v : v;
  return static_cast<std::size_t>(q - p);
}

}  // namespace pluvo
