// The stamp check of the row loop, which keeps the day of the last stamp so
// that most rows need no date arithmetic, against a plain twin that works
// out every stamp from the calendar.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "calendar.h"
#include "stamp_check.h"
#include "text_reader.h"

namespace {

using tabsum::Stamp;
using tabsum::StampCheck;

struct PlainResult {
  bool checked = false;  // a step of at most a day was found
  bool no_step = false;
  long long step = 0;
  long long out_of_step = 0;
  std::vector<std::pair<Stamp, Stamp>> places;  // (before, stamp)
  long long totals_rows = 0;
};

bool is_totals(const Stamp& s) { return s.year == 0 && s.month == 0 && s.day == 0 && s.hour == 0; }

// The rules as the documentation states them, one stamp at a time.
PlainResult check_plainly(const std::vector<Stamp>& stamps) {
  PlainResult r;
  std::vector<Stamp> rows;
  for (const Stamp& s : stamps) {
    if (is_totals(s)) {
      ++r.totals_rows;
    } else {
      rows.push_back(s);
    }
  }
  if (rows.size() < 2) return r;
  long long h0 = 0;
  long long h1 = 0;
  const bool e0 = textio::stamp_hours(rows[0].year, rows[0].month, rows[0].day, rows[0].hour, h0);
  const bool e1 = textio::stamp_hours(rows[1].year, rows[1].month, rows[1].day, rows[1].hour, h1);
  if (!e0 || !e1 || h1 <= h0) {
    r.no_step = true;
    r.places.emplace_back(rows[0], rows[1]);
    return r;
  }
  r.step = h1 - h0;
  if (r.step > tabsum::MAX_CHECKED_STEP_HOURS) return r;
  r.checked = true;
  bool previous_exists = true;
  long long previous = h1;
  for (std::size_t i = 2; i < rows.size(); ++i) {
    long long h = 0;
    const bool exists = textio::stamp_hours(rows[i].year, rows[i].month, rows[i].day, rows[i].hour, h);
    if (!exists || (previous_exists && h - previous != r.step)) {
      ++r.out_of_step;
      if (r.places.size() < tabsum::NAMED_PLACES) r.places.emplace_back(rows[i - 1], rows[i]);
    }
    previous_exists = exists;
    previous = h;
  }
  return r;
}

bool same_stamp(const Stamp& a, const Stamp& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour;
}

void expect_agree(const std::vector<Stamp>& stamps, const char* what) {
  textio::TextReader in;
  in.attach_text("");
  StampCheck check;
  for (const Stamp& s : stamps) tabsum::check_stamp(check, s, in);
  const PlainResult plain = check_plainly(stamps);
  EXPECT_EQ(check.no_step, plain.no_step) << what;
  EXPECT_EQ(check.out_of_step, plain.out_of_step) << what;
  EXPECT_EQ(check.totals_rows, plain.totals_rows) << what;
  if (plain.checked) {
    EXPECT_EQ(check.step, plain.step) << what;
  }
  const int named = check.no_step ? 1 : check.named_places;
  ASSERT_EQ(static_cast<std::size_t>(named), plain.places.size()) << what;
  for (int i = 0; i < named; ++i) {
    EXPECT_TRUE(same_stamp(check.places[i].before, plain.places[i].first)) << what << " place " << i;
    EXPECT_TRUE(same_stamp(check.places[i].stamp, plain.places[i].second)) << what << " place " << i;
  }
}

// An hourly or daily table through the calendar, written as 1..24 or
// 0..23, with two-digit years where the year is below 2000.
std::vector<Stamp> table(long long first_day, int days, int step, bool hours_from_zero, bool short_years) {
  std::vector<Stamp> stamps;
  for (long long h = first_day * 24 + step; h <= (first_day + days) * 24; h += step) {
    long long day = h / 24;
    int hour = static_cast<int>(h % 24);
    if (!hours_from_zero && hour == 0) {
      day -= 1;
      hour = 24;
    }
    const textio::CivilDate d = textio::civil_from_days(day);
    int year = static_cast<int>(d.year);
    if (short_years && year < 2000) year -= 1900;
    stamps.push_back(Stamp{year, d.month, d.day, hour});
  }
  return stamps;
}

TEST(StampCheck, TablesInStepAgreeWithThePlainTwin) {
  const long long y1999 = textio::days_from_civil(1999, 12, 20);
  const long long y1900 = textio::days_from_civil(1900, 2, 20);
  const long long y2016 = textio::days_from_civil(2016, 2, 20);
  for (int step : {1, 3, 24}) {
    for (bool zero : {false, true}) {
      for (bool short_years : {false, true}) {
        for (long long first : {y1999, y1900, y2016}) {
          const std::vector<Stamp> stamps = table(first, 30, step, zero, short_years);
          expect_agree(stamps, "in step");
          textio::TextReader in;
          in.attach_text("");
          StampCheck check;
          for (const Stamp& s : stamps) tabsum::check_stamp(check, s, in);
          EXPECT_EQ(check.out_of_step, 0) << step << " " << zero << " " << short_years << " " << first;
        }
      }
    }
  }
}

TEST(StampCheck, DisturbedTablesAgreeWithThePlainTwin) {
  std::mt19937 random(20161215);
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<int> small(-2, 2);
  const long long start = textio::days_from_civil(2016, 12, 1);
  for (int round = 0; round < 400; ++round) {
    const int step = round % 3 == 0 ? 24 : 1;
    std::vector<Stamp> stamps = table(start, 20, step, round % 2 == 0, false);
    std::vector<Stamp> disturbed;
    for (const Stamp& s : stamps) {
      const int p = percent(random);
      if (p < 2) continue;  // a row deleted
      Stamp t = s;
      if (p < 4) t.hour += small(random);
      if (p == 4) t.day = 31;  // 31 December exists, 31 of other months may not
      if (p == 5) t.month = 13;
      if (p == 6) t = Stamp{};  // a totals row
      if (p == 7) disturbed.push_back(t);  // a repeated row
      disturbed.push_back(t);
    }
    expect_agree(disturbed, "disturbed");
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(StampCheck, EdgesOfTheRules) {
  const struct {
    const char* what;
    std::vector<Stamp> stamps;
    long long out_of_step;
    bool no_step;
  } cases[] = {
      {"hour 24 is hour 0 of the next day", {{2017, 4, 30, 23}, {2017, 4, 30, 24}, {2017, 5, 1, 1}}, 0, false},
      {"hour 0 after hour 24 of the day before is the same instant",
       {{2017, 4, 30, 23}, {2017, 4, 30, 24}, {2017, 5, 1, 0}},
       1,
       false},
      {"31 April does not exist", {{2017, 4, 30, 23}, {2017, 4, 30, 24}, {2017, 4, 31, 1}, {2017, 5, 1, 2}}, 1, false},
      {"hour 25", {{2017, 4, 30, 23}, {2017, 4, 30, 24}, {2017, 4, 30, 25}}, 1, false},
      {"two-digit years", {{99, 12, 31, 23}, {99, 12, 31, 24}, {100, 1, 1, 1}}, 0, false},
      {"a step above a day is not checked", {{2017, 1, 31, 24}, {2017, 2, 28, 24}, {2017, 4, 30, 24}}, 0, false},
      {"no step forward", {{2017, 4, 1, 2}, {2017, 4, 1, 1}, {2017, 4, 1, 2}}, 0, true},
      {"a first row that does not exist", {{2017, 2, 30, 1}, {2017, 3, 1, 1}}, 0, true},
      {"one row", {{2017, 4, 1, 1}}, 0, false},
      {"totals rows are left out", {{2017, 4, 1, 1}, {0, 0, 0, 0}, {2017, 4, 1, 2}, {0, 0, 0, 0}}, 0, false},
  };
  for (const auto& c : cases) {
    textio::TextReader in;
    in.attach_text("");
    StampCheck check;
    for (const Stamp& s : c.stamps) tabsum::check_stamp(check, s, in);
    EXPECT_EQ(check.out_of_step, c.out_of_step) << c.what;
    EXPECT_EQ(check.no_step, c.no_step) << c.what;
    expect_agree(c.stamps, c.what);
  }
}

}  // namespace
