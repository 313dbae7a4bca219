#include "hourly_advance.h"

#include <climits>
#include <new>

#include "failure_place.h"
#include "fatal_errors.h"
#include "hour_ring.h"
#include "parameter_dialogue.h"

namespace pluvo {
namespace {

int month_length(int month, int year) {
  static constexpr int LENGTH[13] = {31, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 31;
  if (month == 2 && is_leap_year(year)) return 29;
  return LENGTH[month];
}

[[noreturn]] void time_mismatch(const DateHour& anetz, ExitCode code) {
  MessageArguments shown;
  shown.day = anetz.day;
  shown.month = anetz.month;
  shown.year = anetz.year;
  shown.hour = anetz.hour;
  fatal_stop(code, shown);
}

bool same_stamp(const DateHour& a, const DateHour& b) {
  return a.hour == b.hour && a.day == b.day && a.month == b.month && a.year == b.year;
}

// Reads the record of a group that reports at this hour into slot 24, or
// marks its entries missing once its file has ended.
void read_reporting_group(PluvoRun& run, StationGroup& group) {
  HourSlot& slot = run.ring[24];
  if (group.file.eof()) {
    set_missing(run, slot.values, group.first, group.last);
    return;
  }
  DateHour reported{};
  // The white space behind the record is skipped here, after the stamp's
  // line is known; a read that fails there still fails before the stamps
  // are compared.
  read_group_record(group, reported, slot.values, group.advance, false);
  const bool mismatch = !same_stamp(reported, *slot.stamp);
  const std::uint64_t line = mismatch ? group.file.line_number() : 0;
  group.file.skip_space();
  if (group.file.read_failed()) fatal_read_error(group.advance.value);
  if (mismatch) {
    try {
      note_time_mismatch(run, group, line, *slot.stamp, reported);
    } catch (const std::bad_alloc&) {
      // The mismatch is reported all the same, without its place.
    }
    time_mismatch(*slot.stamp, group.mismatch);
  }
}

void print_progress(PluvoRun& run, const DateHour& s) {
  if (s.hour != 1) return;
  if (s.day == 1) {
    run.console.put("\nMonat ");
    run.console.put_int(s.month);
    run.console.put('/');
    run.console.put_int(s.year);
    run.console.put(" .");
  } else {
    run.console.put('.');
  }
  run.console.flush_if_interactive();
}

}  // namespace

DateHour next_hour(const DateHour& s) {
  DateHour n = s;
  if (s.hour >= 0 && s.hour < 24) {
    ++n.hour;
    return n;
  }
  n.hour = 1;
  if (s.day >= 1 && s.day < month_length(s.month, s.year)) {
    ++n.day;
    return n;
  }
  n.day = 1;
  if (s.month >= 1 && s.month < 12) {
    ++n.month;
    return n;
  }
  n.month = 1;
  // The calendar ends with the last year an int holds; what would follow
  // is held at the latest stamp there can be, after every other one.
  if (n.year == INT_MAX) return DateHour{.day = INT_MAX, .hour = 24, .month = INT_MAX, .year = INT_MAX};
  ++n.year;
  return n;
}

bool stamp_before(const DateHour& a, const DateHour& b) {
  if (a.year != b.year) return a.year < b.year;
  if (a.month != b.month) return a.month < b.month;
  if (a.day != b.day) return a.day < b.day;
  return a.hour < b.hour;
}

void advance_hour(PluvoRun& run) {
  rotate_ring(run);
  HourSlot& slot = run.ring[24];
  if (run.anetz.file.eof()) {
    // No more hours: the rest of the last day goes on with missing values
    // and stamps that follow the calendar, up to its hour 24, where the
    // daily loop ends the run.
    set_missing(run, slot.values, 1, run.total_stations);
    *slot.stamp = next_hour(*run.ring[23].stamp);
    run.anetz_ended = true;
  } else {
    read_group_record(run.anetz, *slot.stamp, slot.values, run.anetz.advance, true);
    run.last_anetz_stamp = *slot.stamp;
    const int hour = slot.stamp->hour;
    if ((hour == 7 || hour == 19) && run.klima.count() > 0) read_reporting_group(run, run.klima);
    if (hour == 7 && run.sammler.count() > 0) read_reporting_group(run, run.sammler);
  }
  print_progress(run, *slot.stamp);
}

}  // namespace pluvo
