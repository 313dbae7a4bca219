// The value fields of one data row: the fields behind its date fields.
#pragma once

#include <cstdint>

#include "aggregation_settings.h"

namespace tabsum {

// Reads the values of the row at the input's position ("%lf" for each of
// the additional and data columns) and adds every valid value of a data
// column to its interval sum and to the row and run totals of `t` (and,
// for the statistics min and max, to its smallest and largest value). A field
// that does not convert sets run.end_of_data; the rest of the row is read
// all the same, unless the input has ended or the failure consumed
// nothing. Chooses the way of reading by run.row_reading.
void add_row_values(TabsumRun& run, RunTotals& t);

// One "%lf" of the reader for each field: the plain way.
void add_row_values_plain(TabsumRun& run, RunTotals& t);

// The same reads and sums, the fields that are plain decimals already in
// the reader's buffer parsed straight from it; any other field is read by
// the reader's own "%lf".
void add_row_values_buffered(TabsumRun& run, RunTotals& t);

// The same, and each column's smallest or largest valid value, the one
// that --stat min or max asks for, as the plain way keeps it. Another
// instantiation of the same step, so that the sums' step does no work for
// them.
void add_row_values_buffered_extreme(TabsumRun& run, RunTotals& t);

// Shared by both ways: a value read from position `k` (1 = the first field
// behind the date fields) is added when it is valid and of a data column.
// The column's smallest and largest value are both kept, whatever is asked.
inline void add_value(ColumnSums* sums, long long additional, long long k, double value, RunTotals& t) {
  if (k <= additional) return;
  ColumnSums& c = sums[k - additional - 1];
  if (value > NODATA_LIMIT) {
    c.interval_sum += value;
    t.row_sum += value;
    t.row_count += 1.0;
    t.run_sum += value;
    t.run_count += 1.0;
    if (value < c.minimum) c.minimum = value;
    if (value > c.maximum) c.maximum = value;
  } else {
    c.missing += 1.0;
  }
}

// Shared by both ways, when a row's reading stops early: the data columns
// from position `k` on are not read, so none of them has a valid value.
inline void note_unread_columns(TabsumRun& run, long long k) {
  const long long additional = run.settings.additional_columns;
  const long long positions = additional + run.settings.data_columns;
  for (k = k > additional ? k : additional + 1; k <= positions; ++k) run.sums[k - additional - 1].missing += 1.0;
}

// Shared by both ways, after a field that did not convert (`got` is the
// reader's result): whether the row's later fields are still read. Not at
// the end of the input, nor once a failed read has consumed nothing: every
// later read would fail in the same place, and a huge count of columns would
// keep the loop going for seconds. `failed_at` is the position of the last
// failure in the row.
inline bool read_on_after_failure(TabsumRun& run, int got, std::uint64_t& failed_at) {
  run.end_of_data = true;
  if (got == textio::SCAN_INPUT_FAILURE || run.input.position() == failed_at) return false;
  failed_at = run.input.position();
  return true;
}

}  // namespace tabsum
