#include "interval_aggregation.h"

#include <cstring>
#include <string_view>

#include "layout_detection.h"
#include "calendar_periods.h"
#include "number_format.h"
#include "period_statistics.h"
#include "row_values.h"
#include "short_number_format.h"
#include "stamp_check.h"
#include "tabsum_run.h"

namespace tabsum {
namespace {

void put_date_fields(textio::OutputBuffer& out, int a, int b, int c, int d) {
  out.put_int(a);
  out.put('\t');
  out.put_int(b);
  out.put('\t');
  out.put_int(c);
  out.put('\t');
  out.put_int(d);
}

char* put_text(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

char* put_number(char* out, int v) { return textio::format_int(out, v); }

// "%lf": put_fixed(v, 6) of the output buffer, into a character array.
char* put_six_decimals(char* out, double v) {
  char* end = textio::format_six_decimals(out, v);
  return end ? end : textio::format_fixed(out, v, 6);
}

// The start of a console line, "%d.%d.%d, " with day, month and year, kept
// while the date stays the same: in an hourly table it changes once a day.
struct DatePrefix {
  bool made = false;
  int day = 0;
  int month = 0;
  int year = 0;
  std::size_t length = 0;
  char text[3 * 12 + 16] = {};  // format_int may write a few bytes behind a number
};

void update_date_prefix(DatePrefix& prefix, const TabsumRun& run) {
  if (prefix.made && prefix.day == run.day && prefix.month == run.month && prefix.year == run.year) return;
  prefix.made = true;
  prefix.day = run.day;
  prefix.month = run.month;
  prefix.year = run.year;
  char* e = put_number(prefix.text, run.day);
  *e++ = '.';
  e = put_number(e, run.month);
  *e++ = '.';
  e = put_number(e, run.year);
  e = put_text(e, ", ");
  prefix.length = static_cast<std::size_t>(e - prefix.text);
}

// "%d.%d.%d, %d: (cnt: %lf) %lf\n" with day, month, year, hour. Composed
// whole and handed over at once: it is written for every row.
void put_count_line(TabsumRun& run, DatePrefix& prefix, double count, double sum) {
  char line[4 * 12 + 2 * textio::MAX_NUMBER_CHARS + 32];
  update_date_prefix(prefix, run);
  char* e = put_text(line, std::string_view(prefix.text, prefix.length));
  e = put_number(e, run.hour);
  e = put_text(e, ": (cnt: ");
  e = put_six_decimals(e, count);
  e = put_text(e, ") ");
  e = put_six_decimals(e, count > 0.0 ? sum / count : NO_MEAN);
  *e++ = '\n';
  run.console.put(std::string_view(line, static_cast<std::size_t>(e - line)));
}

void write_sums_row(TabsumRun& run, int year, int month, int day, int hour, double ColumnSums::*field) {
  put_date_fields(run.output, year, month, day, hour);
  for (int j = 0; j < run.settings.data_columns; ++j) {
    run.output.put('\t');
    run.output.put_general(run.sums[j].*field, 6);
  }
  run.output.put('\n');
}

void close_interval(TabsumRun& run) {
  if (uses_statistics(run.settings.periods)) {
    const textio::Stamp stamp{run.year, run.month, run.day, run.hour};
    close_statistics_group(run, stamp, run.settings.intervals);
    return;
  }
  const int columns = run.settings.data_columns;
  for (int j = 0; j < columns; ++j) {
    run.sums[j].total_sum += run.sums[j].interval_sum;
  }
  write_sums_row(run, run.year, run.month, run.day, run.hour, &ColumnSums::interval_sum);
  for (int j = 0; j < columns; ++j) {
    run.sums[j].interval_sum = 0.0;
  }
  run.rows_in_interval = 0;
}

}  // namespace

void copy_header(TabsumRun& run) {
  if (!run.input.rewind()) fail_reading(run);
  for (int row = 1; row <= run.settings.headrows; ++row) {
    // Rows that the input does not have are not written.
    bool got_piece = run.input.read_line_piece(run.line_buffer, LAYOUT_PIECE_SIZE);
    if (run.input.read_failed()) fail_reading(run);
    if (!got_piece) break;
    if (row == 1) put_header_title(run);
    // A long row is copied through in pieces.
    while (got_piece) {
      run.output.put(run.line_buffer);
      if (run.line_buffer.back() == '\n') break;
      got_piece = run.input.read_line_piece(run.line_buffer, LAYOUT_PIECE_SIZE);
      if (run.input.read_failed()) fail_reading(run);
    }
    // Only the input's last line can lack its line end; without one the
    // first output row would run into it.
    if (!got_piece) run.output.put('\n');
  }
}

void aggregate_rows(TabsumRun& run) {
  textio::TextReader& in = run.input;
  // A local copy, so that the sums stay in registers while the rows are read.
  RunTotals t = run.totals;
  DatePrefix prefix;

  while (!run.end_of_data) {
    // The date fields keep every conversion that succeeded, as "%d%d%d%d" does.
    if (in.scan_int(run.year) != textio::SCAN_OK || in.scan_int(run.month) != textio::SCAN_OK ||
        in.scan_int(run.day) != textio::SCAN_OK || in.scan_int(run.hour) != textio::SCAN_OK) {
      if (in.read_failed()) fail_reading(run);
      run.end_of_data = true;
      in.skip_line();
      break;
    }
    // By the calendar, rows go to periods by their stamps, and an unordered
    // table is refused there; by rows, a stamp out of step is only named.
    if (run.settings.periods.period != Period::NONE) {
      enter_row_period(run);
    } else {
      check_stamp(run.stamps, Stamp{run.year, run.month, run.day, run.hour}, in);
    }
    ++run.rows_in_interval;
    t.row_sum = 0.0;
    t.row_count = 0.0;
    add_row_values(run, t);
    if (in.read_failed()) fail_reading(run);
    put_count_line(run, prefix, t.row_count, t.row_sum);
    in.skip_line();
    if (run.end_of_data) break;
    if (run.rows_in_interval == run.settings.intervals) close_interval(run);
  }
  if (in.read_failed()) fail_reading(run);
  run.totals = t;
}

void finish_totals(TabsumRun& run) {
  if (uses_statistics(run.settings.periods)) {
    // The last period is written however few rows it has; an unfinished
    // group of rows enters only the totals, as without statistics.
    if (run.settings.periods.period != Period::NONE) {
      close_last_period(run);
    } else {
      fold_group_into_totals(run);
    }
    write_statistics_totals(run);
  } else {
    for (int j = 0; j < run.settings.data_columns; ++j) {
      ColumnSums& c = run.sums[j];
      c.remainder_sum += c.interval_sum;
      c.total_sum += c.remainder_sum;
    }
    write_sums_row(run, 0, 0, 0, 0, &ColumnSums::total_sum);
  }
  DatePrefix prefix;
  put_count_line(run, prefix, run.totals.run_count, run.totals.run_sum);
}

}  // namespace tabsum
