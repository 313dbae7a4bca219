// The stamps of the data rows as points in time, checked as the rows are
// read. Groups are counted in rows, not by time: a row missing from an
// hourly table shifts every group behind it, and nothing in the sums shows
// it. So every row must follow the row before it by the table's step, the
// difference between its first two data rows, and the places where one does
// not are named after the run. Tables with a step above a day (monthly or
// yearly sums) are not checked. A row stamped 0 0 0 0 is the totals row of
// a tabsum table: it is named on its own and left out of the step check.
#pragma once

#include <cstdint>

#include "calendar.h"

namespace textio {
class TextReader;
}

namespace tabsum {

// The longest step that is checked: one day.
inline constexpr long long MAX_CHECKED_STEP_HOURS = 24;
// Places and totals rows named in a warning; the rest are only counted.
inline constexpr int NAMED_PLACES = 5;

struct Stamp {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
};

// Where a row stands: its position in the input (characters from the
// start), and its line number, found after the run (0 until then, and when
// it cannot be found).
struct RowPlace {
  std::uint64_t position = 0;
  std::uint64_t line = 0;
};

struct StepPlace {
  RowPlace row;
  Stamp before;
  Stamp stamp;
};

struct StampCheck {
  enum class Phase {
    FIRST_ROW,   // no row seen yet
    SECOND_ROW,  // the first row seen: the next one sets the step
    CHECKING,
    OFF,         // not checked: a step above a day, or none forward in time
  };
  Phase phase = Phase::FIRST_ROW;
  long long step = 0;  // hours
  Stamp previous;
  bool previous_exists = false;  // its date exists and its hour is 0 to 24
  long long previous_hours = 0;
  RowPlace first_row;

  // The first two rows gave no step forward in time (set with OFF); the
  // second is places[0].
  bool no_step = false;

  long long out_of_step = 0;
  int named_places = 0;
  StepPlace places[NAMED_PLACES];

  long long totals_rows = 0;
  int named_totals_rows = 0;
  RowPlace totals_row_places[NAMED_PLACES];

  // The day of the last stamp computed: an hourly table changes it once a
  // day, so most rows need one comparison and one addition.
  int cached_year = 0;
  int cached_month = 0;
  int cached_day = 0;
  bool cached_exists = false;
  long long cached_day_hours = 0;
};

// The slow part of check_stamp: a new day, a place out of step, the first
// two rows, a totals row.
void check_stamp_slowly(StampCheck& check, const Stamp& stamp, const textio::TextReader& in);

// Sets the line numbers of the places found, reading the input again where
// it did not count its lines as it went.
void number_places(StampCheck& check, textio::TextReader& in);

// Checks the stamp of the row just read (the reader is still on its line,
// whose number a warning needs).
inline void check_stamp(StampCheck& check, const Stamp& s, const textio::TextReader& in) {
  if (check.phase == StampCheck::Phase::CHECKING && s.day == check.cached_day && s.month == check.cached_month &&
      s.year == check.cached_year && check.cached_exists && s.hour >= 0 && s.hour <= 24 && check.previous_exists) {
    const long long hours = check.cached_day_hours + s.hour;
    if (hours - check.previous_hours == check.step) {
      check.previous = s;
      check.previous_hours = hours;
      return;
    }
  }
  if (check.phase == StampCheck::Phase::OFF && !(s.year == 0 && s.month == 0 && s.day == 0 && s.hour == 0)) return;
  check_stamp_slowly(check, s, in);
}

}  // namespace tabsum
