#include "calendar_periods.h"

#include <string>

#include "exit_codes.h"
#include "period_statistics.h"

namespace tabsum {
namespace {

std::string stamp_text(const int* stamp) {
  return std::to_string(stamp[0]) + " " + std::to_string(stamp[1]) + " " + std::to_string(stamp[2]) + " " +
         std::to_string(stamp[3]);
}

// The lines of the input on which the dates of two rows end, found by
// reading the input again from its start: the row loop counts no lines.
// An input that cannot return to its start names the rows by their
// number among the data rows instead.
void name_rows(TabsumRun& run, unsigned long long first, unsigned long long second, std::string& first_name,
               std::string& second_name) {
  const long long rows = run.period_state.rows;
  first_name = "data row " + std::to_string(rows);
  second_name = "data row " + std::to_string(rows + 1);
  if (!run.input.rewind()) return;
  unsigned long long read = 0;
  long long line = 0;
  long long first_line = 0;
  while (run.input.read_line(run.line_buffer)) {
    ++line;
    read += run.line_buffer.size();
    // The date's last character stands before the position.
    if (first_line == 0 && read >= first) first_line = line;
    if (read >= second) {
      first_name = "line " + std::to_string(first_line);
      second_name = "line " + std::to_string(line);
      return;
    }
  }
}

[[noreturn]] void fail_stamp(TabsumRun& run) {
  const int stamp[4] = {run.year, run.month, run.day, run.hour};
  const unsigned long long position = run.input.position();
  std::string unused;
  std::string name;
  name_rows(run, position, position, unused, name);
  throw failure(Failure::STAMP_NOT_A_DATE, name + " (" + stamp_text(stamp) + ")");
}

[[noreturn]] void fail_order(TabsumRun& run) {
  const PeriodState& s = run.period_state;
  const int stamp[4] = {run.year, run.month, run.day, run.hour};
  const std::string before = stamp_text(s.last_stamp);
  std::string earlier_name;
  std::string later_name;
  name_rows(run, s.last_row_position, run.input.position(), earlier_name, later_name);
  throw failure(Failure::ROWS_OUT_OF_ORDER,
                later_name + " (" + stamp_text(stamp) + ") is stamped before " + earlier_name + " (" + before + ")");
}

void close_period(TabsumRun& run) {
  const PeriodSettings& p = run.settings.periods;
  const PeriodState& s = run.period_state;
  double expected = 0.0;
  if (p.min_valid > 0.0) {
    const long long step = p.step > 0 ? p.step : s.step;
    if (p.step == 0 && s.rows < 2) throw failure(Failure::STEP_UNKNOWN, "only one data row");
    if (step < 1 || step > 24) throw failure(Failure::STEP_UNKNOWN, std::to_string(step) + " hours apart");
    expected = static_cast<double>(s.end_hour - s.first_hour) / static_cast<double>(step);
  }
  close_statistics_group(run, period_stamp(p, s.end_hour), expected);
}

}  // namespace

PeriodBounds period_bounds(const PeriodSettings& settings, long long instant) {
  const long long day = textio::floor_div(instant - settings.day_start, 24);
  long long first_day = day;
  long long end_day = day + 1;
  if (settings.period != Period::DAY) {
    const textio::CivilDate date = textio::civil_from_days(day);
    switch (settings.period) {
      case Period::MONTH:
        first_day = textio::days_from_civil(date.year, date.month, 1);
        end_day = first_day + textio::days_in_month(date.year, date.month);
        break;
      case Period::YEAR:
        first_day = textio::days_from_civil(date.year, 1, 1);
        end_day = textio::days_from_civil(date.year + 1, 1, 1);
        break;
      default: {
        const int start = settings.water_year_start;
        const long long year = date.month >= start ? date.year : date.year - 1;
        first_day = textio::days_from_civil(year, start, 1);
        end_day = textio::days_from_civil(year + 1, start, 1);
        break;
      }
    }
  }
  return PeriodBounds{first_day * 24 + settings.day_start, end_day * 24 + settings.day_start};
}

textio::Stamp period_stamp(const PeriodSettings& settings, long long end_hour) {
  return settings.stamps_at_start ? textio::stamp_of_hours(end_hour - 1, false)
                                  : textio::stamp_of_hours(end_hour, true);
}

void enter_row_period(TabsumRun& run) {
  const PeriodSettings& p = run.settings.periods;
  PeriodState& s = run.period_state;
  s.last_row_position = s.row_position;
  s.row_position = run.input.position();
  // The rows of one day share their date: its arithmetic is done once.
  if (!s.date_known || run.day != s.date[2] || run.month != s.date[1] || run.year != s.date[0]) {
    long long hours = 0;
    if (!textio::stamp_hours(run.year, run.month, run.day, 0, hours)) fail_stamp(run);
    s.date_known = true;
    s.date[0] = run.year;
    s.date[1] = run.month;
    s.date[2] = run.day;
    s.date_hours = hours;
  }
  if (run.hour < 0 || run.hour > (p.stamps_at_start ? 23 : 24)) fail_stamp(run);
  const long long hours = s.date_hours + run.hour;
  if (s.rows > 0 && hours < s.last_hours) fail_order(run);
  if (s.rows == 1) s.step = hours - s.last_hours;
  ++s.rows;
  s.last_hours = hours;
  s.last_stamp[0] = run.year;
  s.last_stamp[1] = run.month;
  s.last_stamp[2] = run.day;
  s.last_stamp[3] = run.hour;

  const long long instant = row_instant(p, hours);
  if (s.in_period && instant < s.end_hour) return;
  if (!s.in_period) {
    const PeriodBounds b = period_bounds(p, instant);
    s.first_hour = b.first_hour;
    s.end_hour = b.end_hour;
    s.in_period = true;
    return;
  }
  // Every period up to this row's is complete, those without a row too.
  do {
    close_period(run);
    const PeriodBounds next = period_bounds(p, s.end_hour);
    s.first_hour = next.first_hour;
    s.end_hour = next.end_hour;
  } while (instant >= s.end_hour);
}

void close_last_period(TabsumRun& run) {
  if (run.period_state.in_period) close_period(run);
}

}  // namespace tabsum
