// Stamps of the tables as points in time of the Gregorian calendar.
//
// A stamp is year, month, day, hour. Hour h of day D ends at h:00 on D, so
// hour 24 of D and hour 0 of D+1 name the same instant. Years below 1000
// are 1900 + year: the old tables write the years of the 20th century with
// their last digits only, and pluvo writes its years that way. Days are
// counted from 1 January 1970 (negative before it) with the proleptic
// Gregorian rules, so that any two stamps compare by one subtraction.
#pragma once

namespace textio {

constexpr long long full_year(long long year) { return year < 1000 ? 1900 + year : year; }

constexpr bool is_leap_year(long long year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days of `month` (1 to 12) in `year`.
constexpr int days_in_month(long long year, int month) {
  constexpr int DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && is_leap_year(year) ? 29 : DAYS[month - 1];
}

// Days from 1 January 1970 to the given date, which must exist. The eras of
// 400 years repeat the calendar exactly, so the count is made within one.
constexpr long long days_from_civil(long long year, int month, int day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long year_of_era = year - era * 400;
  const long long shifted_month = month > 2 ? month - 3 : month + 9;  // March first
  const long long day_of_year = (153 * shifted_month + 2) / 5 + day - 1;
  const long long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

struct CivilDate {
  long long year = 0;
  int month = 0;
  int day = 0;
};

// The date of a day count of days_from_civil.
constexpr CivilDate civil_from_days(long long days) {
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long day_of_era = days - era * 146097;
  const long long year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const long long day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const long long shifted_month = (5 * day_of_year + 2) / 153;
  const int day = static_cast<int>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
  const int month = static_cast<int>(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
  return CivilDate{year_of_era + era * 400 + (month <= 2), month, day};
}

// The largest year a stamp may name: far beyond any table, small enough
// that every hour count below stays exact in a long long.
inline constexpr long long MAX_STAMP_YEAR = 100000000;

// The instant a stamp names, in hours from 1 January 1970, 0:00. False for
// a date that does not exist (31 April, month 13, day 0) or an hour outside
// 0 to 24; the year is taken through full_year first.
constexpr bool stamp_hours(long long year, long long month, long long day, long long hour, long long& hours) {
  year = full_year(year);
  if (year < -MAX_STAMP_YEAR || year > MAX_STAMP_YEAR) return false;
  if (month < 1 || month > 12 || day < 1 || hour < 0 || hour > 24) return false;
  if (day > days_in_month(year, static_cast<int>(month))) return false;
  hours = days_from_civil(year, static_cast<int>(month), static_cast<int>(day)) * 24 + hour;
  return true;
}

// a / b rounded toward minus infinity, for b > 0: the day of an hour count
// before 1970 is the day that holds it, as after it.
constexpr long long floor_div(long long a, long long b) { return a / b - (a % b < 0); }

struct Stamp {
  long long year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
};

// The stamp of an instant given in hours from 1 January 1970, 0:00, as a
// table writes it. A stamp at the end of its hour (`end_of_hour`) names
// midnight as hour 24 of the day before, so that a day's stamps run 1 to
// 24; a stamp at the start of its hour names it as hour 0, hours 0 to 23.
constexpr Stamp stamp_of_hours(long long hours, bool end_of_hour) {
  const long long day = floor_div(end_of_hour ? hours - 1 : hours, 24);
  const CivilDate date = civil_from_days(day);
  return Stamp{date.year, date.month, date.day, static_cast<int>(hours - day * 24)};
}

}  // namespace textio
