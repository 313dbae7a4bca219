// Stamp arithmetic against dates worked out by hand and against a walk
// through the calendar one day at a time.
#include <gtest/gtest.h>

#include "calendar.h"

namespace {

TEST(Calendar, KnownDayCounts) {
  struct Case {
    long long year;
    int month;
    int day;
    long long days;
  };
  const Case cases[] = {
      {1970, 1, 1, 0},      {1970, 1, 2, 1},     {1969, 12, 31, -1},   {2000, 2, 29, 11016},
      {2000, 3, 1, 11017},  {1900, 3, 1, -25508}, {2016, 12, 15, 17150}, {1600, 1, 1, -135140},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(textio::days_from_civil(c.year, c.month, c.day), c.days) << c.year << "-" << c.month << "-" << c.day;
    const textio::CivilDate d = textio::civil_from_days(c.days);
    EXPECT_EQ(d.year, c.year);
    EXPECT_EQ(d.month, c.month);
    EXPECT_EQ(d.day, c.day);
  }
}

// Day after day across four centuries (1600 to 2400 holds every kind of
// leap year): each count is one more than the day before, and goes back to
// its date.
TEST(Calendar, WalkThroughFourCenturies) {
  long long expected = textio::days_from_civil(1600, 1, 1);
  for (long long year = 1600; year <= 2400; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= textio::days_in_month(year, month); ++day) {
        ASSERT_EQ(textio::days_from_civil(year, month, day), expected);
        const textio::CivilDate d = textio::civil_from_days(expected);
        ASSERT_EQ(d.year, year);
        ASSERT_EQ(d.month, month);
        ASSERT_EQ(d.day, day);
        ++expected;
      }
    }
  }
}

TEST(Calendar, LeapYears) {
  EXPECT_TRUE(textio::is_leap_year(2000));
  EXPECT_TRUE(textio::is_leap_year(2016));
  EXPECT_FALSE(textio::is_leap_year(1900));
  EXPECT_FALSE(textio::is_leap_year(2017));
  EXPECT_EQ(textio::days_in_month(2016, 2), 29);
  EXPECT_EQ(textio::days_in_month(1900, 2), 28);
}

TEST(Calendar, StampHours) {
  long long a = 0;
  long long b = 0;
  // Hour 24 of a day is hour 0 of the next, also across a year's end.
  ASSERT_TRUE(textio::stamp_hours(2016, 12, 31, 24, a));
  ASSERT_TRUE(textio::stamp_hours(2017, 1, 1, 0, b));
  EXPECT_EQ(a, b);
  // Years below 1000 are 1900 + year.
  ASSERT_TRUE(textio::stamp_hours(116, 11, 1, 1, a));
  ASSERT_TRUE(textio::stamp_hours(2016, 11, 1, 1, b));
  EXPECT_EQ(a, b);
  ASSERT_TRUE(textio::stamp_hours(16, 11, 1, 1, a));
  ASSERT_TRUE(textio::stamp_hours(1916, 11, 1, 1, b));
  EXPECT_EQ(a, b);
  ASSERT_TRUE(textio::stamp_hours(2016, 2, 29, 1, a));
  ASSERT_TRUE(textio::stamp_hours(2016, 2, 28, 1, b));
  EXPECT_EQ(a - b, 24);

  struct Bad {
    long long year, month, day, hour;
  };
  const Bad bad[] = {{2017, 4, 31, 1}, {2017, 2, 29, 1}, {2017, 13, 1, 1}, {2017, 0, 1, 1}, {2017, 1, 0, 1},
                     {2017, 1, 1, 25}, {2017, 1, 1, -1}, {1000000000, 1, 1, 1}, {2017, 1, 32, 1}};
  for (const Bad& s : bad) {
    EXPECT_FALSE(textio::stamp_hours(s.year, s.month, s.day, s.hour, a))
        << s.year << " " << s.month << " " << s.day << " " << s.hour;
  }
}

// The stamp of an instant gives the instant back, in both conventions:
// midnight is hour 24 of the day before at the end of an hour, hour 0 at
// its start; before 1970 too.
TEST(Calendar, StampOfHoursRoundTrip) {
  EXPECT_EQ(textio::floor_div(-1, 24), -1);
  EXPECT_EQ(textio::floor_div(-24, 24), -1);
  EXPECT_EQ(textio::floor_div(23, 24), 0);
  long long first = 0;
  ASSERT_TRUE(textio::stamp_hours(1968, 2, 27, 0, first));
  for (long long h = first; h < first + 24 * 800; h += 7) {
    for (const bool end : {true, false}) {
      const textio::Stamp s = textio::stamp_of_hours(h, end);
      EXPECT_TRUE(end ? s.hour >= 1 && s.hour <= 24 : s.hour >= 0 && s.hour <= 23) << h;
      long long back = 0;
      ASSERT_TRUE(textio::stamp_hours(s.year, s.month, s.day, s.hour, back));
      EXPECT_EQ(back, h);
    }
  }
  const textio::Stamp midnight = textio::stamp_of_hours(first + 48, true);
  EXPECT_EQ(midnight.day, 28);
  EXPECT_EQ(midnight.hour, 24);
}

}  // namespace
