#include "row_values.h"

namespace tabsum {

void add_row_values(TabsumRun& run, RunTotals& t) {
  if (run.row_reading == RowReading::PLAIN) {
    add_row_values_plain(run, t);
  } else if (keeps_extremes(run.settings.periods)) {
    add_row_values_buffered_extreme(run, t);
  } else {
    add_row_values_buffered(run, t);
  }
}

void add_row_values_plain(TabsumRun& run, RunTotals& t) {
  const long long additional = run.settings.additional_columns;
  const long long positions = additional + run.settings.data_columns;
  std::uint64_t failed_at = UINT64_MAX;
  for (long long k = 1; k <= positions; ++k) {
    double value = 0.0;
    if (const int got = run.input.scan_double(value); got != textio::SCAN_OK) {
      if (k > additional) run.sums[k - additional - 1].missing += 1.0;
      if (!read_on_after_failure(run, got, failed_at)) {
        note_unread_columns(run, k + 1);
        break;
      }
      continue;
    }
    add_value(run.sums.get(), additional, k, value, t);
  }
}

}  // namespace tabsum
