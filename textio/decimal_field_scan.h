// A fast path of "%lf" for decimal fields of every common form: a sign,
// digits before and after the point, an exponent ("12", "-0.5", "123.456",
// "1.2e-05", "5000."), followed by white space.
//
// A number of up to eight characters (digits and point), most of a table,
// is taken from one 64-bit word: where its digits end, where the point is,
// and the digits themselves, all at once, so that fields of different
// lengths take the same steps and cost no mispredicted branch. Longer ones
// take two words for the digits in front of the point and two behind it.
// The value is exact: with at most 19 digits whose number is at most 2^53
// and a decimal exponent within +-22, the number is an exact double and one
// multiplication or division by an exact power of ten is correctly
// rounded, as strtod rounds. Every other decimal (more digits, a larger
// exponent) goes through from_chars, which rounds the same way. A field of
// another form (inf, nan, hex, a lone sign or point, an exponent letter
// without digits, anything not followed by white space, a value out of
// range) is declined, and the general scanner of number_scan.h decides.
#pragma once

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "number_scan.h"
#include "padded_number_scan.h"
#include "word_load.h"

namespace textio {

// The characters looked at from the start of a field, or from the NUL
// behind the text where that comes first: the text must have that many
// readable bytes behind it.
inline constexpr std::size_t DECIMAL_FIELD_CHARS = 17;

namespace decimal_field {

inline constexpr std::uint64_t ONES = 0x0101010101010101u;

// The powers of ten that are exact doubles.
inline constexpr double EXACT_POW10_22[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline constexpr int MAX_FAST_EXPONENT = 22;

// For each exponent e from -22 to 22, at e + 22: 10^e as a factor when e
// is positive and as a divisor when it is negative, 1 for the other.
struct ScaleTable {
  double value[2 * MAX_FAST_EXPONENT + 1];
  constexpr explicit ScaleTable(bool up) : value() {
    for (int e = -MAX_FAST_EXPONENT; e <= MAX_FAST_EXPONENT; ++e) {
      const bool used = up ? e > 0 : e < 0;
      value[e + MAX_FAST_EXPONENT] = used ? EXACT_POW10_22[e < 0 ? -e : e] : 1.0;
    }
  }
};
inline constexpr ScaleTable SCALE_UP_TABLE{true};
inline constexpr ScaleTable SCALE_DOWN_TABLE{false};
inline constexpr const double* SCALE_UP = SCALE_UP_TABLE.value;
inline constexpr const double* SCALE_DOWN = SCALE_DOWN_TABLE.value;
// Mantissas up to 2^53 are exact doubles.
inline constexpr std::uint64_t MAX_EXACT_MANTISSA = std::uint64_t{1} << 53;

// More digits than these are left to from_chars: 10^19 still fits the
// 64 bits of the mantissa.
inline constexpr int MAX_FAST_DIGITS = 19;

inline constexpr std::uint64_t POW10_INT[17] = {1u,
                                                10u,
                                                100u,
                                                1000u,
                                                10000u,
                                                100000u,
                                                1000000u,
                                                10000000u,
                                                100000000u,
                                                1000000000u,
                                                10000000000u,
                                                100000000000u,
                                                1000000000000u,
                                                10000000000000u,
                                                100000000000000u,
                                                1000000000000000u,
                                                10000000000000000u};

// The kinds of character that may follow the digits of a number: white
// space, an exponent letter, or anything else (the NUL behind a text too).
inline constexpr std::uint8_t BEHIND_SPACE = 0;
inline constexpr std::uint8_t BEHIND_EXPONENT = 1;
inline constexpr std::uint8_t BEHIND_OTHER = 2;
struct BehindDigitsTable {
  std::uint8_t kind[256];
  constexpr BehindDigitsTable() : kind() {
    for (int c = 0; c < 256; ++c) {
      // The white space of is_c_space.
      const bool space = c == ' ' || (c >= '\t' && c <= '\r');
      kind[c] = space ? BEHIND_SPACE : (c == 'e' || c == 'E') ? BEHIND_EXPONENT : BEHIND_OTHER;
    }
  }
};
inline constexpr BehindDigitsTable BEHIND_DIGITS{};

// The number of the eight digits of a word, the first in byte 0 (leading
// zeros for shorter numbers): pairs, fours and eights combined.
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline std::uint64_t eight_digits_value(std::uint64_t d) {
  d = d * 10 + (d >> 8);
  return (((d & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
          (((d >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >>
         32;
}

// How many of the eight characters of `t` (each less '0', the first in
// byte 0) are digits, counted from the first.
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline int leading_digits(std::uint64_t t) {
  // Per byte: the high bit set where the byte is no digit.
  const std::uint64_t other = (((t & (ONES * 0x7F)) + ONES * (0x80 - 10)) | t) & (ONES * 0x80);
  return std::countr_zero(other) / 8;
}

// The number of the first `n` (0 to 8) digits of `t`.
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline std::uint64_t digits_value(std::uint64_t t, int n) {
  // Moved to the top of the word behind leading zeros, the others shifted
  // out; none for n = 0, where the shift count wraps to 0.
  const std::uint64_t keep = 0 - static_cast<std::uint64_t>(n != 0);
  return eight_digits_value((t << ((64 - 8 * n) & 63)) & keep);
}

// The exponent behind the letter, from `e` ("-05", "+3", "7"), and its
// end; false without digits, where the general scanner must judge (it
// takes the letter with the number).
inline bool read_exponent(const char* e, int& exponent, const char*& end) {
  const bool negative = *e == '-';
  e += (*e == '-') | (*e == '+');
  if (!is_c_digit(static_cast<unsigned char>(*e))) return false;
  int magnitude = 0;
  for (; is_c_digit(static_cast<unsigned char>(*e)); ++e) {
    // Held below any exponent that matters: such values go to from_chars.
    if (magnitude < 100000) magnitude = magnitude * 10 + (*e - '0');
  }
  exponent = negative ? -magnitude : magnitude;
  end = e;
  return true;
}

// The value of the text from `first` to `last`, a decimal whose form has
// been checked, by from_chars (which takes no '+'); false out of range,
// where the general scanner gives the C library's value.
inline bool exact_value(const char* first, const char* last, double& value) {
  if (*first == '+') ++first;
  double v = 0.0;
  const auto [end, ec] = std::from_chars(first, last, v, std::chars_format::general);
  if (ec != std::errc() || end != last) return false;
  value = v;
  return true;
}

// Any decimal field, character by character, converted by from_chars: the
// way for the fields too long for the words of the fast path.
inline std::size_t scan_long_decimal(const char* p, double& value) {
  const char* q = p + ((*p == '-') | (*p == '+'));
  std::size_t digits = 0;
  for (; is_c_digit(static_cast<unsigned char>(*q)); ++q) ++digits;
  if (*q == '.') {
    for (++q; is_c_digit(static_cast<unsigned char>(*q)); ++q) ++digits;
  }
  if (digits == 0) return 0;
  if ((static_cast<unsigned char>(*q) | 0x20u) == 'e') {
    int exponent = 0;
    if (!read_exponent(q + 1, exponent, q)) return 0;
  }
  if (!is_c_space(static_cast<unsigned char>(*q)) || !exact_value(p, q, value)) return 0;
  return static_cast<std::size_t>(q - p);
}

// A run of digits at `p`, up to 16, from two words: its length (16 for
// 16 or more) and its number.
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline int digit_run(const char* p, std::uint64_t& number) {
  const std::uint64_t first = load_word(p) ^ (ONES * '0');
  const std::uint64_t second = load_word(p + 8) ^ (ONES * '0');
  const int n1 = leading_digits(first);
  const int n2 = n1 == 8 ? leading_digits(second) : 0;
  number = digits_value(first, n1) * POW10_INT[n2] + digits_value(second, n2);
  return n1 + n2;
}

// The way of scan_decimal_field for numbers longer than a word ("0.000926293",
// "123456789.5"): up to 16 digits in front of the point and 16 behind it,
// from two words each, exact by one operation where they are at most 19
// and their number is an exact double.
#if defined(__GNUC__)
[[gnu::noinline]]
#endif
inline std::size_t scan_two_word_decimal(const char* p, double& value) {
  const bool negative = *p == '-';
  const char* const q = p + ((*p == '-') | (*p == '+'));
  std::uint64_t whole = 0;
  const int int_digits = digit_run(q, whole);
  if (int_digits == 16) return scan_long_decimal(p, value);
  const char* const behind_int = q + int_digits;
  std::uint64_t fraction = 0;
  const int fraction_digits = *behind_int == '.' ? digit_run(behind_int + 1, fraction) : 0;
  if (fraction_digits == 16) return scan_long_decimal(p, value);
  const char* last = behind_int + (*behind_int == '.') + fraction_digits;
  const int digits = int_digits + fraction_digits;
  if (digits > MAX_FAST_DIGITS) return scan_long_decimal(p, value);
  int exponent = 0;
  if ((static_cast<unsigned char>(*last) | 0x20u) == 'e' && !read_exponent(last + 1, exponent, last)) return 0;
  if ((digits == 0) | !is_c_space(static_cast<unsigned char>(*last))) return 0;
  exponent -= fraction_digits;
  // At most 19 digits: the mantissa holds them.
  const std::uint64_t mantissa = whole * POW10_INT[fraction_digits] + fraction;
  if (mantissa <= MAX_EXACT_MANTISSA && exponent >= -MAX_FAST_EXPONENT && exponent <= MAX_FAST_EXPONENT) {
    const auto m = static_cast<double>(mantissa);
    const double v = exponent <= 0 ? m / EXACT_POW10_22[-exponent] : m * EXACT_POW10_22[exponent];
    value = negative ? -v : v;
  } else if (!exact_value(p, last, value)) {
    return 0;
  }
  return static_cast<std::size_t>(last - p);
}

// scan_two_word_decimal through a variable of its own: the caller's may
// then stay in a register on the way of the short numbers, rather than
// going through memory because its address was handed on.
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline std::size_t longer_decimal(const char* p, double& value) {
  double longer = 0.0;
  const std::size_t taken = scan_two_word_decimal(p, longer);
  value = longer;
  return taken;
}

}  // namespace decimal_field

// For a decimal field followed by white space at `p`: its value, the one
// strtod gives for its text, and the count of its characters. Otherwise 0.
// A NUL ends the field, so the bytes behind the NUL that ends a text never
// become part of it.
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline std::size_t scan_decimal_field(const char* p, double& value) {
  using namespace decimal_field;
  const bool negative = *p == '-';
  const char* const q = p + ((*p == '-') | (*p == '+'));
  // Most numbers of a table, digits and point, fill at most the eight
  // characters of one word: where the digits end, where the point is, and
  // the digits themselves, from that word alone.
  const std::uint64_t t = load_word(q) ^ (ONES * '0');
  std::uint64_t other = (((t & (ONES * 0x7F)) + ONES * (0x80 - 10)) | t) & (ONES * 0x80);
  if (other == 0) [[unlikely]] return longer_decimal(p, value);
  const int int_end = std::countr_zero(other) / 8;
  const bool point = ((t >> (8 * int_end)) & 0xFF) == ('.' ^ '0');
  // The point's flag cleared: the next flag ends the digits behind it.
  other &= other - point;
  // Behind the word, a digit would make the number longer than it.
  if (other == 0 && is_c_digit(static_cast<unsigned char>(q[8]))) [[unlikely]] return longer_decimal(p, value);
  // Without a flag the digits fill the word: countr_zero gives 64.
  const int end = std::countr_zero(other) / 8;
  const int digits = end - static_cast<int>(point);
  // The digits side by side, the point taken out, moved to the top behind
  // leading zeros.
  const std::uint64_t below_point = (std::uint64_t{1} << (8 * int_end)) - 1;
  const std::uint64_t d = (t & below_point) | ((t >> 8) & ~below_point);
  const std::uint64_t mantissa = eight_digits_value(d << ((64 - 8 * digits) & 63));
  const char* last = q + end;
  // The digits behind the point: all but those in front of it.
  int exponent = int_end - digits;
  bool far = false;
  // What follows the digits, from one lookup: white space ends the field
  // (nearly always), an exponent letter goes on, anything else declines.
  const std::uint8_t behind = BEHIND_DIGITS.kind[static_cast<unsigned char>(*last)];
  if (behind != BEHIND_SPACE) [[unlikely]] {
    if (behind != BEHIND_EXPONENT) return 0;
    int power = 0;
    if (!read_exponent(last + 1, power, last)) return 0;
    exponent += power;
    far = exponent < -MAX_FAST_EXPONENT || exponent > MAX_FAST_EXPONENT;
    if (!is_c_space(static_cast<unsigned char>(*last))) return 0;
  }
  if (digits == 0) return 0;
  // At most eight digits: the mantissa is an exact double. One
  // multiplication and one division, each by 1 or by an exact power of ten,
  // the other being exact, rather than branches on the exponent, which a
  // table of mixed forms would mispredict.
  if (!far) [[likely]] {
    double v = static_cast<double>(mantissa);
    if (exponent != 0) v = v * SCALE_UP[exponent + MAX_FAST_EXPONENT] / SCALE_DOWN[exponent + MAX_FAST_EXPONENT];
    // The sign set by its bit, not a branch: signs vary from field to field.
    value = std::bit_cast<double>(std::bit_cast<std::uint64_t>(v) | std::uint64_t{negative} << 63);
  } else if (!exact_value(p, last, value)) {
    return 0;
  }
  return static_cast<std::size_t>(last - p);
}

}  // namespace textio
