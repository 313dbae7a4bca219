#include "short_number_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "digit_pairs.h"
#include "exact_rounding.h"
#include "number_format.h"
#include "word_load.h"

// The steps of the six-digit formats are inlined even where used twice:
// called, each would cost as much as its work.
#if defined(__GNUC__)
#define HYDRO_INLINE [[gnu::always_inline]] inline
#else
#define HYDRO_INLINE inline
#endif

namespace textio {
namespace {

// 10^k for k = -1 .. 6: 10^-1 is not exact, but no double lies between
// one tenth and its nearest double, so `a >= POW10_FROM_TENTH[0]` holds
// exactly for a >= 1/10.
constexpr double POW10_FROM_TENTH[] = {1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};

// The six digits of n < 10^6, leading zeros written, as the bytes of a
// word, the first digit in the lowest byte.
HYDRO_INLINE std::uint64_t six_digits(std::uint32_t n) {
  const std::uint32_t high = n / 10000;
  const std::uint32_t low = n % 10000;
  char digits[8] = {};
  std::memcpy(digits, DIGIT_PAIRS + 2 * high, 2);
  std::memcpy(digits + 2, DIGIT_PAIRS + 2 * (low / 100), 2);
  std::memcpy(digits + 4, DIGIT_PAIRS + 2 * (low % 100), 2);
  return load_word(digits);
}

// Writes the bytes of w at `out`, the lowest first, and returns the end of
// the first `shown` of them: eight are written whatever `shown` is, so the
// caller provides that room.
HYDRO_INLINE char* put_word(char* out, std::uint64_t w, int shown) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, &w, 8);
  } else {
    for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(w >> (8 * i));
  }
  return out + shown;
}

// "0" to "999" as up to three characters padded to four.
struct SmallNumbers {
  char c[1000][4];
  constexpr SmallNumbers() : c() {
    for (int i = 0; i < 1000; ++i) {
      const int digits = 1 + (i >= 10) + (i >= 100);
      for (int d = digits - 1, v = i; d >= 0; --d, v /= 10) c[i][d] = static_cast<char>('0' + v % 10);
    }
  }
};
constexpr SmallNumbers SMALL_NUMBERS{};

// "%.6g" of a magnitude from 10^-4 up to below 10^-1 (a mean of a few
// tenths over many hours): "0.", the zeros behind the point and the six
// significant digits, trailing zeros dropped; null for the others, NaN
// included. No double lies between 10^-z and the double nearest to it, which
// is the larger, so the comparisons are exact.
char* format_below_tenth_six(char* out, double v, double a) {
  if (!(a >= 1e-4 && a < 1e-1)) return nullptr;
  // The zeros behind the point: a lies in [10^-(z+1), 10^-z).
  const int zeros = 1 + (a < 1e-2) + (a < 1e-3);
  constexpr double SCALE[] = {0.0, 1e7, 1e8, 1e9};
  // Six significant digits, the last at 10^-(z+6): n has six digits, or is
  // 10^6 when rounding carried into a new one.
  const std::uint64_t n = round_scaled(a, SCALE[zeros]);
  if (std::signbit(v)) *out++ = '-';
  std::memcpy(out, "0.000", 5);
  if (n >= 1000000) {
    // Rounded to 10^-z: "0.1", "0.01", "0.001".
    out[1 + zeros] = '1';
    return out + 2 + zeros;
  }
  const std::uint64_t digits = six_digits(static_cast<std::uint32_t>(n));
  const int last = (63 - std::countl_zero(digits ^ 0x303030303030u)) / 8 + 1;
  return put_word(out + 2 + zeros, digits, last);
}

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

char* format_int(char* out, int v) {
  if (v < 0 || v > 9999) return std::to_chars(out, out + 12, v).ptr;
  const auto n = static_cast<unsigned>(v);
  // Four digits, leading zeros and all, of which the last `shown` are copied.
  char digits[8];
  std::memcpy(digits, DIGIT_PAIRS + 2 * (n / 100), 2);
  std::memcpy(digits + 2, DIGIT_PAIRS + 2 * (n % 100), 2);
  const unsigned shown = 1 + (n >= 10) + (n >= 100) + (n >= 1000);
  std::memcpy(out, digits + 4 - shown, 4);
  return out + shown;
}

char* format_six_decimals(char* out, double v) {
  const double a = std::fabs(v);
  // NaN fails the comparison.
  if (!(a < 4e9)) return nullptr;
  const std::uint64_t n = round_scaled(a, 1e6);
  if (std::signbit(v)) *out++ = '-';
  const auto whole = static_cast<std::uint32_t>(n / 1000000);
  if (whole < 1000) {
    std::memcpy(out, SMALL_NUMBERS.c[whole], 4);
    out += 1 + (whole >= 10) + (whole >= 100);
  } else {
    out = std::to_chars(out, out + 10, whole).ptr;
  }
  // The point and the six digits, as one word.
  return put_word(out, '.' | six_digits(static_cast<std::uint32_t>(n % 1000000)) << 8, 7);
}

char* format_general_six(char* out, double v) {
  const double a = std::fabs(v);
  if (a == 0.0) {
    if (std::signbit(v)) *out++ = '-';
    *out++ = '0';
    return out;
  }
  // NaN fails both comparisons.
  if (!(a >= POW10_FROM_TENTH[0] && a < POW10_FROM_TENTH[7])) return format_below_tenth_six(out, v, a);
  // The count of digits in front of the point: a lies in [10^(k-1), 10^k),
  // k from 0 to 6. Added up rather than searched, as it varies from value to value.
  const int int_digits = (a >= 1e0) + (a >= 1e1) + (a >= 1e2) + (a >= 1e3) + (a >= 1e4) + (a >= 1e5);
  // Six significant digits, the last at 10^(k-6): n has six digits (a is
  // at least 10^(k-1)), or is 10^6 when rounding carried into a new one.
  const std::uint64_t n = round_scaled(a, POW10_FROM_TENTH[7 - int_digits]);
  if (std::signbit(v)) *out++ = '-';
  if (n >= 1000000) {
    // The value rounds to 10^k at five digits behind the leading one too,
    // so it is shown as that power of ten, with an exponent from 10^6 on.
    if (int_digits == 6) return nullptr;
    *out++ = '1';
    std::memset(out, '0', static_cast<std::size_t>(int_digits));
    return out + int_digits;
  }
  const std::uint64_t digits = six_digits(static_cast<std::uint32_t>(n));
  // Without the '#' flag, trailing zeros of the fraction go, and so does a
  // point that has no digit left behind it. `last` is one past the last
  // digit that is not '0' (the first digit never is).
  const std::uint64_t not_zero = digits ^ 0x303030303030u;
  const int last = (63 - std::countl_zero(not_zero)) / 8 + 1;
  if (int_digits == 0) {
    // "0." and the digits.
    return put_word(out, ('0' | '.' << 8) | digits << 16, 2 + last);
  }
  const int shown = last > int_digits ? last + 1 : int_digits;
  // The digits with the point in place: a word of seven bytes.
  const std::uint64_t front = digits & ((std::uint64_t{1} << (8 * int_digits)) - 1);
  const std::uint64_t word = front | std::uint64_t{'.'} << (8 * int_digits) | (digits & ~front) << 8;
  return put_word(out, word, shown);
}

}  // namespace textio
