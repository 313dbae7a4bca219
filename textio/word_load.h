// Eight characters read as one 64-bit word, the first in the lowest byte,
// for the fast paths that look at several characters at once.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace textio {

inline std::uint64_t load_word(const char* p) {
  std::uint64_t w = 0;
  if constexpr (std::endian::native == std::endian::little) {
    // One load; the compiler does not always see it in the loop below.
    std::memcpy(&w, p, sizeof w);
  } else {
    for (unsigned i = 0; i < sizeof w; ++i) w |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
  }
  return w;
}

}  // namespace textio
