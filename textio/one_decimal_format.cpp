#include "one_decimal_format.h"

#include <charconv>

#include "exact_rounding.h"

namespace textio {

double resolve_one_decimal_tie(double a, double p, double n, double frac) {
  const double e = product_error(a, 10.0, p);
  if (frac == 0.5 && e > 0.0) return n + 1.0;
  if (frac == -0.5 && e < 0.0) return n - 1.0;
  return n;
}

char* write_unsigned_long(char* out, std::uint64_t n) { return std::to_chars(out, out + 20, n).ptr; }

}  // namespace textio
