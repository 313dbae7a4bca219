// The 0.0 of the dry fields that the buffered row step leaves out of the
// columns' smallest or largest values.
//
// Runs of dry fields ("0.0" each), most of a table, are only counted by
// that step, 16 characters at a time. Where --stat min or max asks for a
// column's extreme, entering each of their values would cost more than the
// rest of the row. So a run sets one bit for each of its columns, a word at
// a time, and the 0.0 enters a column's extremes when its group closes.
// That gives the same extremes as entering each value in its turn: of
// equal values the first stays, and 0.0 is equal only to itself and to
// -0.0. So before a -0.0, the 0.0 of a dry field earlier in the group
// enters first.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "aggregation_settings.h"

namespace tabsum {

constexpr std::size_t COLUMNS_PER_WORD = 64;

// The words of bits for `columns` columns.
inline std::size_t left_out_zero_words(std::size_t columns) {
  return (columns + COLUMNS_PER_WORD - 1) / COLUMNS_PER_WORD;
}

// Marks the columns `first` to `first + count - 1` as having a dry field
// in their current group.
inline void mark_left_out_zeros(std::uint64_t* bits, std::size_t first, std::size_t count) {
  const std::size_t in_first_word = first % COLUMNS_PER_WORD;
  if (count != 0 && in_first_word + count <= COLUMNS_PER_WORD) {
    // Most runs: within one word.
    bits[first / COLUMNS_PER_WORD] |= ~std::uint64_t{0} >> (COLUMNS_PER_WORD - count) << in_first_word;
    return;
  }
  const std::size_t end = first + count;
  while (first < end) {
    const std::size_t in_word = first % COLUMNS_PER_WORD;
    const std::size_t taken = std::min(end - first, COLUMNS_PER_WORD - in_word);
    const std::uint64_t ones = taken == COLUMNS_PER_WORD ? ~std::uint64_t{0} : (std::uint64_t{1} << taken) - 1u;
    bits[first / COLUMNS_PER_WORD] |= ones << in_word;
    first += taken;
  }
}

// Enters the 0.0 of a marked column's dry fields into both of its extremes,
// as the plain reading enters a value: unmarked, the column is left as it is.
inline void enter_left_out_zero(ColumnSums& c, const std::uint64_t* bits, std::size_t column) {
  if ((bits[column / COLUMNS_PER_WORD] >> (column % COLUMNS_PER_WORD) & 1u) == 0) return;
  if (0.0 < c.minimum) c.minimum = 0.0;
  if (0.0 > c.maximum) c.maximum = 0.0;
}

}  // namespace tabsum
