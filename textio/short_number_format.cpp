#include "short_number_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "number_format.h"

namespace textio {
namespace {

// 10^k for k = -1 .. 6: 10^-1 is not exact, but no double lies between
// one tenth and its nearest double, so `a >= POW10_FROM_TENTH[0]` holds
// exactly for a >= 1/10.
constexpr double POW10_FROM_TENTH[] = {1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};

// round(a * scale) of the exact product, ties to even, as printf rounds,
// for a >= 0, `scale` a power of ten up to 10^6 and a * scale below 2^52.
// p is the product rounded to a double and e its exact error (Dekker's
// product; the power of ten has at most 20 bits and needs no split), so
// a * scale == p + e; p itself can only be wrong where it is a tie.
std::uint64_t round_scaled(double a, double scale) {
  const double p = a * scale;
  const double split = 134217729.0 * a;  // 2^27 + 1
  const double hi = split - (split - a);
  const double lo = a - hi;
  const double e = (hi * scale - p) + lo * scale;
  // Round p to an integer, ties to even, by the 2^52 trick.
  const double two52 = 4503599627370496.0;
  double n = (p + two52) - two52;
  const double frac = p - n;  // exact
  if (frac == 0.5 && e > 0.0) n += 1.0;
  if (frac == -0.5 && e < 0.0) n -= 1.0;
  return static_cast<std::uint64_t>(n);
}

// "00" to "99".
struct DigitPairs {
  char c[200];
  constexpr DigitPairs() : c() {
    for (int i = 0; i < 100; ++i) {
      c[2 * i] = static_cast<char>('0' + i / 10);
      c[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
  }
};
constexpr DigitPairs DIGIT_PAIRS{};

// The six digits of n < 10^6, leading zeros written.
void put_six_digits(char* out, std::uint32_t n) {
  const std::uint32_t high = n / 10000;
  const std::uint32_t low = n % 10000;
  std::memcpy(out, DIGIT_PAIRS.c + 2 * high, 2);
  std::memcpy(out + 2, DIGIT_PAIRS.c + 2 * (low / 100), 2);
  std::memcpy(out + 4, DIGIT_PAIRS.c + 2 * (low % 100), 2);
}

}  // namespace

char* format_six_decimals(char* out, double v) {
  const double a = std::fabs(v);
  // NaN fails the comparison.
  if (!(a < 4e9)) return nullptr;
  const std::uint64_t n = round_scaled(a, 1e6);
  if (std::signbit(v)) *out++ = '-';
  const auto whole = static_cast<std::uint32_t>(n / 1000000);
  if (whole < 10) {
    *out++ = static_cast<char>('0' + whole);
  } else {
    out = std::to_chars(out, out + 10, whole).ptr;
  }
  *out++ = '.';
  put_six_digits(out, static_cast<std::uint32_t>(n % 1000000));
  return out + 6;
}

char* format_general_six(char* out, double v) {
  const double a = std::fabs(v);
  if (a == 0.0) {
    if (std::signbit(v)) *out++ = '-';
    *out++ = '0';
    return out;
  }
  // NaN fails both comparisons.
  if (!(a >= POW10_FROM_TENTH[0] && a < POW10_FROM_TENTH[7])) return nullptr;
  // The exponent of the value: a lies in [10^x, 10^(x+1)), x from -1 to 5.
  int x = -1;
  while (a >= POW10_FROM_TENTH[x + 2]) ++x;
  // Six significant digits, the last at 10^(x-5): n has six digits (a is
  // at least 10^x), or is 10^6 when rounding carried into a new one.
  const std::uint64_t n = round_scaled(a, POW10_FROM_TENTH[6 - x]);
  if (std::signbit(v)) *out++ = '-';
  const int int_digits = x + 1;
  if (n >= 1000000) {
    // The value rounds to 10^(x+1) at five digits behind the leading one
    // too, so it is shown as that power of ten, with an exponent from 10^6 on.
    if (int_digits == 6) return nullptr;
    *out++ = '1';
    std::memset(out, '0', static_cast<std::size_t>(int_digits));
    return out + int_digits;
  }
  char digits[6];
  put_six_digits(digits, static_cast<std::uint32_t>(n));
  // Without the '#' flag, trailing zeros of the fraction go, and so does a
  // point that has no digit left behind it.
  int last = 6;
  while (last > int_digits && digits[last - 1] == '0') --last;
  if (int_digits == 0) {
    *out++ = '0';
  } else {
    std::memcpy(out, digits, static_cast<std::size_t>(int_digits));
    out += int_digits;
  }
  if (last > int_digits) {
    *out++ = '.';
    std::memcpy(out, digits + int_digits, static_cast<std::size_t>(last - int_digits));
    out += last - int_digits;
  }
  return out;
}

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
