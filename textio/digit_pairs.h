// "00" to "99", for writing numbers two digits at a time.
#pragma once

namespace textio {

struct DigitPairTable {
  char c[200];
  constexpr DigitPairTable() : c() {
    for (int i = 0; i < 100; ++i) {
      c[2 * i] = static_cast<char>('0' + i / 10);
      c[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
  }
};
inline constexpr DigitPairTable DIGIT_PAIR_TABLE{};
// The digits of n (0 to 99) stand at DIGIT_PAIRS + 2 * n.
inline constexpr const char* DIGIT_PAIRS = DIGIT_PAIR_TABLE.c;

}  // namespace textio
