#include "number_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace textio {

char* format_fixed(char* out, double v, int precision) {
  return std::to_chars(out, out + MAX_NUMBER_CHARS, v, std::chars_format::fixed, precision).ptr;
}

char* format_general(char* out, double v, int precision) {
  return std::to_chars(out, out + MAX_NUMBER_CHARS, v, std::chars_format::general, precision).ptr;
}

char* format_one_decimal(char* out, double v) {
  const double a = std::fabs(v);
  if (!(a < 4e14)) return format_fixed(out, v, 1);  // large, inf, nan: a * 10 must stay below 2^52

  // The digits are round(a * 10) of the exact product, ties to even, as
  // printf rounds. p is the product rounded to a double and e its exact
  // error (Dekker's product; 10.0 needs no split), so a * 10 == p + e.
  const double p = a * 10.0;
  const double split = 134217729.0 * a;  // 2^27 + 1
  const double hi = split - (split - a);
  const double lo = a - hi;
  const double e = (hi * 10.0 - p) + lo * 10.0;
  // Round p to an integer, ties to even, by the 2^52 trick (p < 2^52).
  const double two52 = 4503599627370496.0;
  double n = (p + two52) - two52;
  const double frac = p - n;  // exact
  if (frac == 0.5 && e > 0.0) n += 1.0;
  if (frac == -0.5 && e < 0.0) n -= 1.0;

  const auto tenths = static_cast<std::uint64_t>(n);
  if (std::signbit(v)) *out++ = '-';
  out = std::to_chars(out, out + 24, tenths / 10).ptr;
  *out++ = '.';
  *out++ = static_cast<char>('0' + tenths % 10);
  return out;
}

}  // namespace textio
