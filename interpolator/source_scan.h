// Which sources of one hour count: the valid ones (above the lowest valid
// value), those of them whose value is not zero, and whether one is +inf.
// The SSE2 form compares two values at a time; the portable loop is its
// twin, and the tests compare them.
#pragma once

#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "source_mask.h"

namespace pluvo {

struct SourceScan {
  SourceMask valid;
  SourceMask raining;     // valid and not zero
  bool infinite = false;  // a valid value is +inf (the only one above the lowest valid value that is not finite)
};

inline SourceScan scan_sources_portable(const double* value, int n, double lowest_valid) {
  SourceScan s;
  for (int j = 0; j < n; ++j) {
    const double v = value[j];
    if (!(v > lowest_valid)) continue;
    s.valid.set(j);
    if (v != 0.0) s.raining.set(j);
    if (v == HUGE_VAL) s.infinite = true;
  }
  return s;
}

#if defined(__SSE2__)

inline SourceScan scan_sources_sse2(const double* value, int n, double lowest_valid) {
  SourceScan s;
  const __m128d lowest = _mm_set1_pd(lowest_valid);
  const __m128d zero = _mm_setzero_pd();
  const __m128d inf = _mm_set1_pd(HUGE_VAL);
  __m128d any_inf = _mm_setzero_pd();
  for (int word = 0; word * 64 < n; ++word) {
    const int end = n < (word + 1) * 64 ? n : (word + 1) * 64;
    std::uint64_t valid = 0;
    std::uint64_t raining = 0;
    int j = word * 64;
    for (; j + 2 <= end; j += 2) {
      const __m128d v = _mm_loadu_pd(value + j);
      const __m128d counts = _mm_cmpgt_pd(v, lowest);
      // cmpneq is true for NaN too, which counts is not.
      const __m128d wet = _mm_and_pd(counts, _mm_cmpneq_pd(v, zero));
      any_inf = _mm_or_pd(any_inf, _mm_and_pd(counts, _mm_cmpeq_pd(v, inf)));
      valid |= static_cast<std::uint64_t>(_mm_movemask_pd(counts)) << (j & 63);
      raining |= static_cast<std::uint64_t>(_mm_movemask_pd(wet)) << (j & 63);
    }
    for (; j < end; ++j) {
      const double v = value[j];
      if (!(v > lowest_valid)) continue;
      valid |= std::uint64_t{1} << (j & 63);
      if (v != 0.0) raining |= std::uint64_t{1} << (j & 63);
      if (v == HUGE_VAL) s.infinite = true;
    }
    s.valid.word[word] = valid;
    s.raining.word[word] = raining;
  }
  s.infinite = s.infinite || _mm_movemask_pd(any_inf) != 0;
  return s;
}

inline SourceScan scan_sources(const double* value, int n, double lowest_valid) {
  return scan_sources_sse2(value, n, lowest_valid);
}

#else

inline SourceScan scan_sources(const double* value, int n, double lowest_valid) {
  return scan_sources_portable(value, n, lowest_valid);
}

#endif

}  // namespace pluvo
