// Row operations of the planned weighting, one lane per target: each
// element of a row belongs to one target, and a source's row is applied to
// all targets at once. Every element gets exactly the one IEEE operation
// that the plain loop gives it, so the vector forms (SSE2, part of every
// x86-64) and the portable loops give the same doubles; both are built on
// x86-64, and the tests compare them.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pluvo {
namespace lanes {

// sum[t] += row[t]
inline void add_row_portable(double* sum, const double* row, int n) {
  for (int t = 0; t < n; ++t) sum[t] += row[t];
}

// acc[t] += row[t] * factor, the product rounded before the sum.
inline void add_scaled_row_portable(double* acc, const double* row, double factor, int n) {
  for (int t = 0; t < n; ++t) acc[t] += row[t] * factor;
}

// out[t] = keep[t] ? row[t] / divisor[t] : 0.0, keep[t] being all ones or
// all zeros.
inline void divide_kept_portable(double* out, const double* row, const double* divisor, const std::uint64_t* keep,
                                 int n) {
  for (int t = 0; t < n; ++t) out[t] = keep[t] != 0 ? row[t] / divisor[t] : 0.0;
}

#if defined(__SSE2__)

inline void add_row_sse2(double* sum, const double* row, int n) {
  int t = 0;
  for (; t + 2 <= n; t += 2) _mm_storeu_pd(sum + t, _mm_add_pd(_mm_loadu_pd(sum + t), _mm_loadu_pd(row + t)));
  if (t < n) sum[t] += row[t];
}

inline void add_scaled_row_sse2(double* acc, const double* row, double factor, int n) {
  const __m128d f = _mm_set1_pd(factor);
  int t = 0;
  for (; t + 2 <= n; t += 2) {
    _mm_storeu_pd(acc + t, _mm_add_pd(_mm_loadu_pd(acc + t), _mm_mul_pd(_mm_loadu_pd(row + t), f)));
  }
  if (t < n) acc[t] += row[t] * factor;
}

inline void divide_kept_sse2(double* out, const double* row, const double* divisor, const std::uint64_t* keep,
                             int n) {
  int t = 0;
  for (; t + 2 <= n; t += 2) {
    const __m128d q = _mm_div_pd(_mm_loadu_pd(row + t), _mm_loadu_pd(divisor + t));
    const __m128d mask = _mm_castsi128_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(keep + t)));
    _mm_storeu_pd(out + t, _mm_and_pd(q, mask));
  }
  if (t < n) out[t] = keep[t] != 0 ? row[t] / divisor[t] : 0.0;
}

inline void add_row(double* sum, const double* row, int n) { add_row_sse2(sum, row, n); }
inline void add_scaled_row(double* acc, const double* row, double factor, int n) {
  add_scaled_row_sse2(acc, row, factor, n);
}
inline void divide_kept(double* out, const double* row, const double* divisor, const std::uint64_t* keep, int n) {
  divide_kept_sse2(out, row, divisor, keep, n);
}

#else

inline void add_row(double* sum, const double* row, int n) { add_row_portable(sum, row, n); }
inline void add_scaled_row(double* acc, const double* row, double factor, int n) {
  add_scaled_row_portable(acc, row, factor, n);
}
inline void divide_kept(double* out, const double* row, const double* divisor, const std::uint64_t* keep, int n) {
  divide_kept_portable(out, row, divisor, keep, n);
}

#endif

}  // namespace lanes
}  // namespace pluvo
