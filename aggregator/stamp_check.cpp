#include "stamp_check.h"

#include <utility>

#include "text_reader.h"

namespace tabsum {
namespace {

bool is_totals_stamp(const Stamp& s) { return s.year == 0 && s.month == 0 && s.day == 0 && s.hour == 0; }

// The instant of a stamp in hours, through the cached day when it is the
// same day. False for a date that does not exist or an hour outside 0..24.
bool stamp_hours(StampCheck& check, const Stamp& s, long long& hours) {
  if (s.day != check.cached_day || s.month != check.cached_month || s.year != check.cached_year) {
    check.cached_year = s.year;
    check.cached_month = s.month;
    check.cached_day = s.day;
    check.cached_exists = textio::stamp_hours(s.year, s.month, s.day, 0, check.cached_day_hours);
  }
  if (!check.cached_exists || s.hour < 0 || s.hour > 24) return false;
  hours = check.cached_day_hours + s.hour;
  return true;
}

// The line number is known at once only where the reader counts lines.
RowPlace place_of(const textio::TextReader& in) {
  return RowPlace{in.position(), in.counts_lines() ? in.line_number() : 0};
}

void remember(StampCheck& check, const Stamp& s, bool exists, long long hours) {
  check.previous = s;
  check.previous_exists = exists;
  check.previous_hours = hours;
}

}  // namespace

void check_stamp_slowly(StampCheck& check, const Stamp& s, const textio::TextReader& in) {
  if (is_totals_stamp(s)) {
    if (check.named_totals_rows < NAMED_PLACES) check.totals_row_places[check.named_totals_rows++] = place_of(in);
    ++check.totals_rows;
    return;
  }
  long long hours = 0;
  const bool exists = stamp_hours(check, s, hours);
  switch (check.phase) {
    case StampCheck::Phase::FIRST_ROW:
      check.first_row = place_of(in);
      check.phase = StampCheck::Phase::SECOND_ROW;
      remember(check, s, exists, hours);
      return;
    case StampCheck::Phase::SECOND_ROW:
      if (!exists || !check.previous_exists || hours <= check.previous_hours) {
        check.no_step = true;
        check.places[0] = StepPlace{place_of(in), check.previous, s};
        check.phase = StampCheck::Phase::OFF;
        return;
      }
      check.step = hours - check.previous_hours;
      check.phase = check.step > MAX_CHECKED_STEP_HOURS ? StampCheck::Phase::OFF : StampCheck::Phase::CHECKING;
      remember(check, s, exists, hours);
      return;
    case StampCheck::Phase::CHECKING:
      // A row behind one whose date does not exist is not counted again:
      // the place is the row before it.
      if (!exists || (check.previous_exists && hours - check.previous_hours != check.step)) {
        if (check.named_places < NAMED_PLACES) {
          check.places[check.named_places++] = StepPlace{place_of(in), check.previous, s};
        }
        ++check.out_of_step;
      }
      remember(check, s, exists, hours);
      return;
    case StampCheck::Phase::OFF: return;
  }
}

void number_places(StampCheck& check, textio::TextReader& in) {
  RowPlace* named[2 * NAMED_PLACES + 1];
  std::size_t n = 0;
  if (check.no_step) {
    named[n++] = &check.first_row;
    named[n++] = &check.places[0].row;
  }
  for (int i = 0; i < check.named_places; ++i) named[n++] = &check.places[i].row;
  for (int i = 0; i < check.named_totals_rows; ++i) named[n++] = &check.totals_row_places[i];
  if (n == 0 || in.counts_lines()) return;
  // A handful of places: sorted by insertion.
  for (std::size_t i = 1; i < n; ++i) {
    for (std::size_t j = i; j > 0 && named[j - 1]->position > named[j]->position; --j) std::swap(named[j - 1], named[j]);
  }
  std::uint64_t positions[2 * NAMED_PLACES + 1];
  std::uint64_t lines[2 * NAMED_PLACES + 1] = {};
  for (std::size_t i = 0; i < n; ++i) positions[i] = named[i]->position;
  if (!in.line_numbers(positions, lines, n)) return;
  for (std::size_t i = 0; i < n; ++i) named[i]->line = lines[i];
}

}  // namespace tabsum
