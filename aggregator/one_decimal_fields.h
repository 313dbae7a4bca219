// Values of the commonest form in these tables, a digit, a point and a
// digit ("0.0", "2.5"), each followed by a tab: recognised four fields at a
// time, straight from the reader's buffer.
//
// The functions look at 16 or 32 characters from `p`; the reader keeps at
// least that many bytes readable behind its buffered text (its READ_SLACK),
// starting with a NUL, which fails the test, so that what lies behind the
// NUL cannot make a field pass.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "padded_number_scan.h"

namespace tabsum {

// The characters looked at for four fields.
constexpr std::size_t FOUR_FIELDS_CHARS = 16;

// How many of the four fields at `p` (16 characters), counted from the
// first, are of that form, each followed by a tab. Character by character:
// the plain twin of the SSE2 count.
inline std::size_t leading_one_decimal_fields_plain(const char* p) {
  std::size_t fields = 0;
  for (; fields < 4; ++fields) {
    const char* f = p + 4 * fields;
    const unsigned units = static_cast<unsigned char>(f[0]) - 48u;
    const unsigned tenths = static_cast<unsigned char>(f[2]) - 48u;
    if (!((units < 10u) & (tenths < 10u) & (f[1] == '.') & (f[3] == '\t'))) break;
  }
  return fields;
}

#if defined(__SSE2__)
// The same count from one test of all 16 characters at once.
inline std::size_t leading_one_decimal_fields_sse2(const char* p) {
  const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // Signed comparisons: a byte from 0x80 up is negative, so no digit.
  const __m128i digit =
      _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8('0' - 1)), _mm_cmplt_epi8(c, _mm_set1_epi8('9' + 1)));
  const __m128i punctuation =
      _mm_cmpeq_epi8(c, _mm_setr_epi8(0, '.', 0, '\t', 0, '.', 0, '\t', 0, '.', 0, '\t', 0, '.', 0, '\t'));
  // A bit for each character in its place: a digit at the even places, the
  // point and the tab at the odd ones.
  const unsigned in_place =
      static_cast<unsigned>((_mm_movemask_epi8(digit) & 0x5555) | (_mm_movemask_epi8(punctuation) & 0xAAAA));
  // Without a branch: bit 16 stands for a wrong character behind the four,
  // so that four good fields count 16 / 4.
  const unsigned wrong = (~in_place & 0xFFFFu) | 0x10000u;
  return static_cast<std::size_t>(std::countr_zero(wrong)) / 4;
}
#endif

inline std::size_t leading_one_decimal_fields(const char* p) {
#if defined(__SSE2__)
  return leading_one_decimal_fields_sse2(p);
#else
  return leading_one_decimal_fields_plain(p);
#endif
}

// The characters looked at for the end of the field behind such fields.
constexpr std::size_t END_SEARCH_CHARS = 32;

// The place of the first tab at or behind `from` (below END_SEARCH_CHARS)
// among the END_SEARCH_CHARS characters at `p`, or END_SEARCH_CHARS
// without one. Character by character: the plain twin of the SSE2 search.
inline std::size_t tab_from_plain(const char* p, std::size_t from) {
  for (std::size_t i = from; i < END_SEARCH_CHARS; ++i) {
    if (p[i] == '\t') return i;
  }
  return END_SEARCH_CHARS;
}

#if defined(__SSE2__)
// The same from two tests of 16 characters, which need not wait for the
// place to search from.
inline std::size_t tab_from_sse2(const char* p, std::size_t from) {
  const __m128i tab = _mm_set1_epi8('\t');
  const auto low = static_cast<std::uint32_t>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), tab)));
  const auto high = static_cast<std::uint32_t>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)), tab)));
  const std::uint32_t tabs = (low | high << 16) >> from;
  return tabs == 0 ? END_SEARCH_CHARS : from + static_cast<std::size_t>(std::countr_zero(tabs));
}
#endif

inline std::size_t tab_from(const char* p, std::size_t from) {
#if defined(__SSE2__)
  return tab_from_sse2(p, from);
#else
  return tab_from_plain(p, from);
#endif
}

// Four dry fields, "0.0" each followed by a tab, as they stand in a row.
inline constexpr char DRY_GROUP[FOUR_FIELDS_CHARS + 1] = "0.0\t0.0\t0.0\t0.0\t";

// How many groups of four dry fields follow each other from `p`, at most
// `most`. A group is looked at only when the one before it was dry, so no
// group starts behind the NUL that ends the buffered text. The plain twin
// of the SSE2 count.
inline std::size_t leading_dry_groups_plain(const char* p, std::size_t most) {
  std::size_t groups = 0;
  while (groups < most && std::memcmp(p + FOUR_FIELDS_CHARS * groups, DRY_GROUP, FOUR_FIELDS_CHARS) == 0) ++groups;
  return groups;
}

#if defined(__SSE2__)
inline std::size_t leading_dry_groups_sse2(const char* p, std::size_t most) {
  const __m128i dry = _mm_loadu_si128(reinterpret_cast<const __m128i*>(DRY_GROUP));
  std::size_t groups = 0;
  while (groups < most) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + FOUR_FIELDS_CHARS * groups));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(c, dry)) != 0xFFFF) break;
    ++groups;
  }
  return groups;
}
#endif

inline std::size_t leading_dry_groups(const char* p, std::size_t most) {
#if defined(__SSE2__)
  return leading_dry_groups_sse2(p, most);
#else
  return leading_dry_groups_plain(p, most);
#endif
}

// The place in the table of one-decimal values of field f (0 to 3) at `p`:
// the units and the tenths, its first and third characters.
inline unsigned one_decimal_index(const char* p, std::size_t f) {
  const unsigned units = static_cast<unsigned char>(p[4 * f]) - 48u;
  const unsigned tenths = static_cast<unsigned char>(p[4 * f + 2]) - 48u;
  return units * 10 + tenths;
}

// The value of field f at `p`, one of those counted: the value that
// scan_padded_decimal gives for it (from the same table).
inline double one_decimal_value(const char* p, std::size_t f) {
  return textio::ONE_DECIMAL.value[one_decimal_index(p, f)];
}

// The same for a field f below `counted` (the fields counted at `p`), and
// +0.0 for the others, whatever their characters: chosen by a mask, not a
// branch, as the count varies from group to group.
inline double one_decimal_value_or_zero(const char* p, std::size_t f, std::size_t counted) {
  const unsigned keep = 0u - static_cast<unsigned>(f < counted);
  return textio::ONE_DECIMAL.value[one_decimal_index(p, f) & keep];
}

}  // namespace tabsum
