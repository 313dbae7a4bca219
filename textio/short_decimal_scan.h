// A fast path of scan_padded_decimal for short fields ("-999", "12.34",
// "0.5"): the eight characters from the start of the field are looked at
// all at once, as one 64-bit word, so that fields of different lengths take
// the same steps and cost no mispredicted branch.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "padded_number_scan.h"
#include "word_load.h"

namespace textio {

// The characters that scan_short_decimal looks at, readable from `p` on.
inline constexpr std::size_t SHORT_DECIMAL_CHARS = 8;

// For an optional '-', digits, an optional point and digits (at least one
// digit in all) followed by white space, all within the eight characters at
// `p`: the same value and the same count of characters taken as
// scan_padded_decimal. Otherwise 0, and that function (or the general
// scanner) decides. Bytes behind a NUL within the eight cannot make it
// accept.
// Where it accepts, `terminator` is the character behind the field, known
// from the characters already looked at.
inline std::size_t scan_short_decimal(const char* p, double& value, unsigned& terminator) {
  constexpr std::uint64_t ONES = 0x0101010101010101u;
  static_assert(SHORT_DECIMAL_CHARS == sizeof(std::uint64_t));
  std::uint64_t w = load_word(p);
  const bool negative = (w & 0xFF) == '-';
  // Without its sign the field starts at byte 0; the byte shifted in is 0,
  // no digit.
  w >>= negative ? 8 : 0;
  // Per byte: its digit value where it is a digit; a byte with the high bit
  // set in `other` where it is not.
  const std::uint64_t t = w ^ (ONES * '0');
  const std::uint64_t other = (((t & (ONES * 0x7F)) + ONES * (0x80 - 10)) | t) & (ONES * 0x80);
  if (other == 0) return 0;  // eight digits: no end in sight
  const int int_end = std::countr_zero(other) / 8;
  const bool has_point = ((w >> (8 * int_end)) & 0xFF) == '.';
  // The end of the digits behind the point, or the point's place without one.
  std::uint64_t behind = other;
  if (has_point) behind &= behind - 1;  // clears the point's flag
  if (behind == 0) return 0;
  const int end = std::countr_zero(behind) / 8;
  terminator = static_cast<unsigned>((w >> (8 * end)) & 0xFF);
  const int frac_digits = has_point ? end - int_end - 1 : 0;
  const int digits = int_end + frac_digits;
  if (!is_c_space(static_cast<int>(terminator)) || digits == 0) return 0;

  // The digits side by side, the point taken out, the first in byte 0.
  const std::uint64_t int_mask = (std::uint64_t{1} << (8 * int_end)) - 1;
  const std::uint64_t frac_mask = ((std::uint64_t{1} << (8 * digits)) - 1) & ~int_mask;
  std::uint64_t d = (t & int_mask) | ((t >> 8) & frac_mask);
  // Moved to the top of the word behind leading zeros, then combined in
  // pairs, fours and eights into the number.
  d <<= 8 * (8 - digits);
  d = d * 10 + (d >> 8);
  d = (((d & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
       (((d >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >>
      32;
  // At most seven digits, so the mantissa is exact, and so is the division
  // by one when there is no fraction; otherwise the one division of
  // scan_padded_decimal (whose table holds the same quotients).
  const double v = static_cast<double>(d) / EXACT_POW10[frac_digits];
  value = negative ? -v : v;
  return static_cast<std::size_t>(end) + (negative ? 1 : 0);
}

inline std::size_t scan_short_decimal(const char* p, double& value) {
  unsigned terminator = 0;
  return scan_short_decimal(p, value, terminator);
}

}  // namespace textio
