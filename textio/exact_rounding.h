// Rounding a product by a power of ten exactly as printf rounds the
// decimal digits it writes: the exact product, ties to even.
#pragma once

#include <cstdint>

namespace textio {

// The exact error of p, the product a * scale rounded to a double, so that
// a * scale == p + e (Dekker's product; `scale` is a power of ten up to
// 10^9, which has at most 21 significant bits and needs no split).
inline double product_error(double a, double scale, double p) {
  const double split = 134217729.0 * a;  // 2^27 + 1
  const double hi = split - (split - a);
  const double lo = a - hi;
  return (hi * scale - p) + lo * scale;
}

// round(a * scale) of the exact product, ties to even, for a >= 0, `scale`
// a power of ten up to 10^9 and a * scale below 2^52. p can only be wrong
// where it is a tie: there the error of the product decides.
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline std::uint64_t round_scaled(double a, double scale) {
  const double p = a * scale;
  const double e = product_error(a, scale, p);
  // Round p to an integer, ties to even, by the 2^52 trick.
  const double two52 = 4503599627370496.0;
  double n = (p + two52) - two52;
  const double frac = p - n;  // exact
  if (frac == 0.5 && e > 0.0) n += 1.0;
  if (frac == -0.5 && e < 0.0) n -= 1.0;
  return static_cast<std::uint64_t>(n);
}

}  // namespace textio
