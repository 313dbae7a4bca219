// The stamp of an hour as the station files give it.
#pragma once

namespace pluvo {

constexpr int MISSING_STAMP = -999;

struct DateHour {
  int day;
  int hour;
  int month;
  int year;
};

// The stamp of a slot that has not received a record: it matches no date.
constexpr DateHour MISSING_DATE_HOUR{
    .day = MISSING_STAMP, .hour = MISSING_STAMP, .month = MISSING_STAMP, .year = MISSING_STAMP};

}  // namespace pluvo
