// What a run makes of its groups besides plain sums: calendar periods
// instead of fixed row groups, the statistic written for each group and
// the share of valid values a group needs.
#pragma once

#include <cstdint>
#include <vector>

namespace tabsum {

// The value written where a group has too few valid values.
constexpr double MISSING_VALUE = -999.0;

enum class Period { NONE, DAY, MONTH, YEAR, WATER_YEAR };  // NONE: fixed groups of rows
enum class Statistic { SUM, MEAN, MIN, MAX, COUNT };

struct PeriodSettings {
  Period period = Period::NONE;
  bool stamps_at_start = false;  // stamps mark the start of their interval
  int step = 0;                  // hours per row; 0: the first two data rows tell
  double min_valid = 0.0;        // share of the expected count; 0: not given
  int day_start = 0;             // hour at which a day begins
  int water_year_start = 10;     // month in which a water year begins
  Statistic statistic = Statistic::SUM;
  bool statistic_given = false;
};

// Whether the groups are written by the rules of the statistics (a group
// without a valid value is missing, --min-valid, --stat). Without calendar
// periods and those two options, the sums are written as they always were.
inline bool uses_statistics(const PeriodSettings& s) {
  return s.period != Period::NONE || s.statistic_given || s.min_valid > 0.0;
}

// Whether the groups' smallest and largest values are written, so that
// the row step must keep them.
inline bool keeps_extremes(const PeriodSettings& s) {
  return s.statistic == Statistic::MIN || s.statistic == Statistic::MAX;
}

// The run's place in the calendar, kept from one data row to the next.
struct PeriodState {
  bool in_period = false;
  long long first_hour = 0;  // the current period: from this instant
  long long end_hour = 0;    // up to this one, in hours from 1970
  long long rows = 0;        // data rows read
  long long last_hours = 0;  // the stamp of the row before, in hours
  unsigned long long row_position = 0;       // where the current row's date ends in the input
  unsigned long long last_row_position = 0;  // the same of the row before
  int last_stamp[4] = {};                    // the row before's stamp as written
  long long step = 0;                        // the step in use; 0 before it is known
  // The date of the row before and its first instant, so that the rows of
  // one day need no date arithmetic.
  bool date_known = false;
  int date[3] = {};
  long long date_hours = 0;
  // Over the whole run, for the totals row: the valid values, smallest and
  // largest value of each column.
  std::vector<double> total_valid;
  std::vector<double> total_minimum;
  std::vector<double> total_maximum;
  // A bit for each column whose current group had a dry field that the
  // row step left out of its extremes (left_out_zeros.h).
  std::vector<std::uint64_t> left_out_zeros;
};

}  // namespace tabsum
