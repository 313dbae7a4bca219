#include "short_number_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "number_format.h"

namespace textio {
namespace {

// 10^k for k = -1 .. 6: 10^-1 is not exact, but no double lies between
// one tenth and its nearest double, so `a >= POW10_FROM_TENTH[0]` holds
// exactly for a >= 1/10.
constexpr double POW10_FROM_TENTH[] = {1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};

}  // namespace

char* format_fixed_whole(char* out, double v, int precision) {
  constexpr double TWO_53 = 9007199254740992.0;
  if (precision < 0 || precision > 40 || !(std::fabs(v) < TWO_53) || v != std::trunc(v)) return nullptr;
  if (std::signbit(v)) *out++ = '-';
  out = std::to_chars(out, out + 20, static_cast<long long>(std::fabs(v))).ptr;
  if (precision > 0) {
    *out++ = '.';
    std::memset(out, '0', static_cast<std::size_t>(precision));
    out += precision;
  }
  return out;
}

char* format_general_short(char* out, double v, int precision) {
  if (precision < 1 || precision > 6) return nullptr;
  const double a = std::fabs(v);
  if (a == 0.0) {
    if (std::signbit(v)) *out++ = '-';
    *out++ = '0';
    return out;
  }
  // NaN fails both comparisons.
  if (!(a >= POW10_FROM_TENTH[0] && a < POW10_FROM_TENTH[precision + 1])) return nullptr;
  // The exponent of the value: a lies in [10^x, 10^(x+1)).
  int x = -1;
  while (a >= POW10_FROM_TENTH[x + 2]) ++x;
  // With `precision` significant digits, the last one is at 10^(x+1-precision).
  char* end = format_fixed(out, v, precision - 1 - x);
  // Rounding may carry into a new leading digit (9.999996 gives 10.00000):
  // then the exponent is x + 1, one digit fewer goes behind the point, and
  // the value rounds to that same power of ten there.
  const char* digits = out + (v < 0.0 ? 1 : 0);
  const char* point = static_cast<const char*>(std::memchr(digits, '.', static_cast<std::size_t>(end - digits)));
  const char* int_end = point ? point : end;
  const bool carried = x < 0 ? *digits == '1' : int_end - digits > x + 1;
  if (carried) {
    ++x;
    if (x >= precision) return nullptr;  // shown with an exponent
    end = format_fixed(out, v, precision - 1 - x);
    point = static_cast<const char*>(std::memchr(digits, '.', static_cast<std::size_t>(end - digits)));
  }
  // Without the '#' flag, trailing zeros of the fraction go, and so does a
  // point that has no digit left behind it.
  if (point) {
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
  }
  return end;
}

}  // namespace textio
