// A set of sources of the planned weighting (at most CAPACITY), one bit
// per source, counted from 0.
#pragma once

#include <bit>
#include <cstdint>

namespace pluvo {

struct SourceMask {
  static constexpr int CAPACITY = 128;
  std::uint64_t word[2] = {0, 0};
  void set(int j) { word[j >> 6] |= std::uint64_t{1} << (j & 63); }
  bool test(int j) const { return (word[j >> 6] >> (j & 63)) & 1u; }
  bool any() const { return (word[0] | word[1]) != 0; }
  SourceMask operator&(const SourceMask& o) const {
    SourceMask m;
    m.word[0] = word[0] & o.word[0];
    m.word[1] = word[1] & o.word[1];
    return m;
  }
  bool operator==(const SourceMask& o) const { return word[0] == o.word[0] && word[1] == o.word[1]; }
};

// Calls f(j) for every source j of the set, in ascending order.
template <class F>
void for_each_source(const SourceMask& m, F&& f) {
  for (int w = 0; w < 2; ++w) {
    for (std::uint64_t bits = m.word[w]; bits != 0; bits &= bits - 1) f(w * 64 + std::countr_zero(bits));
  }
}

}  // namespace pluvo
