// The blanks and tabs between the fields of a row: a table written by
// other programs separates its fields by runs of both, right-aligned ones
// by a varying count of blanks in front of each value.
//
// The functions look at 16 or 64 characters from `p`; the reader keeps
// that many readable behind its buffered text, starting with a NUL, which
// is no separator.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tabsum {

constexpr std::size_t SEPARATOR_CHARS = 16;

// The count of blanks and tabs at `p`, at most 16. Character by
// character: the plain twin of the SSE2 count.
inline std::size_t leading_separators_plain(const char* p) {
  std::size_t n = 0;
  while (n < SEPARATOR_CHARS && (p[n] == ' ' || p[n] == '\t')) ++n;
  return n;
}

#if defined(__SSE2__)
// The same from one test of 16 characters, with no branch on the count,
// which varies from field to field in a right-aligned table.
inline std::size_t leading_separators_sse2(const char* p) {
  const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i separator = _mm_or_si128(_mm_cmpeq_epi8(c, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(c, _mm_set1_epi8('\t')));
  const auto other = ~static_cast<std::uint32_t>(_mm_movemask_epi8(separator));
  return static_cast<std::size_t>(std::countr_zero(other | 0x10000u));
}
#endif

inline std::size_t leading_separators(const char* p) {
#if defined(__SSE2__)
  return leading_separators_sse2(p);
#else
  return leading_separators_plain(p);
#endif
}

// Passes over the blanks and tabs at `p`: 16 at a time, so longer runs
// take a few more steps.
inline const char* skip_separators(const char* p) {
  std::size_t n;
  while ((n = leading_separators(p)) == SEPARATOR_CHARS) p += SEPARATOR_CHARS;
  return p + n;
}

// The characters looked at for the separators of a block of fields.
constexpr std::size_t BLOCK_CHARS = 64;

// A bit for each blank or tab among the 64 characters at `p`, bit i for
// p[i]. Character by character: the plain twin of the SSE2 mask.
inline std::uint64_t separator_mask_plain(const char* p) {
  std::uint64_t mask = 0;
  for (std::size_t i = 0; i < BLOCK_CHARS; ++i) {
    if (p[i] == ' ' || p[i] == '\t') mask |= std::uint64_t{1} << i;
  }
  return mask;
}

#if defined(__SSE2__)
inline std::uint64_t separator_mask_sse2(const char* p) {
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i tab = _mm_set1_epi8('\t');
  std::uint64_t mask = 0;
  for (std::size_t i = 0; i < BLOCK_CHARS; i += 16) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const auto bits =
        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(c, blank), _mm_cmpeq_epi8(c, tab))));
    mask |= std::uint64_t{bits} << i;
  }
  return mask;
}
#endif

inline std::uint64_t separator_mask(const char* p) {
#if defined(__SSE2__)
  return separator_mask_sse2(p);
#else
  return separator_mask_plain(p);
#endif
}

}  // namespace tabsum
