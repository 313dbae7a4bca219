// Rows grouped by the calendar: days, months, years and water years,
// found from each row's stamp, so that a missing or an extra row shifts
// nothing. The table must be in the order of its stamps; like a group of
// rows, a period ends when a row of a later period comes, so that nothing
// is held but the current period's sums.
#pragma once

#include "aggregation_settings.h"
#include "calendar.h"

namespace tabsum {

// A period as instants in hours from 1 January 1970, 0:00: from first_hour
// up to end_hour.
struct PeriodBounds {
  long long first_hour;
  long long end_hour;
};

// The period that holds the hour starting at `instant`. Days begin at the
// settings' day start, and months, years and water years are made of such
// days, each counted to the date on which it begins.
PeriodBounds period_bounds(const PeriodSettings& settings, long long instant);

// The stamp of a period's row: its last hour, in the table's convention.
textio::Stamp period_stamp(const PeriodSettings& settings, long long end_hour);

// The hour a row is counted by: the one before a stamp at the end of its
// interval, the one after a stamp at its start.
inline long long row_instant(const PeriodSettings& settings, long long stamp_hours) {
  return settings.stamps_at_start ? stamp_hours : stamp_hours - 1;
}

// Called for every data row once its date fields are read, before its
// values: writes the rows of the periods that end before it (those without
// any row included) and makes its period the current one. Ends the run on a
// stamp that is no hour of the calendar or one earlier than the row before.
void enter_row_period(TabsumRun& run);

// At the end of the data: writes the row of the last period.
void close_last_period(TabsumRun& run);

}  // namespace tabsum
