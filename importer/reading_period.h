// Which days a run writes, and where each output's readings lie in the
// hours of the files.
//
// pluvo's hour h of day D (1 to 24) is the hour that ends at h:00 on D, so
// the service's hour 00 of D+1 is hour 24 of D. The reading windows are
// pluvo's: a Sammler record stamped D 7 h holds the hours stamped 7 of D to
// 6 of D+1 (06:00 on D to 06:00 on D+1), which is the window of the German
// Weather Service's daily total of D; the Klima records stamped 7 h and
// 19 h hold the hours 7 to 18 and 19 to 6 of the next day.
#pragma once

#include <string>

#include "import_run.h"

namespace stationfile {

// The resolution an output kind is made from.
Resolution needed_resolution(OutputKind kind);

// The first and last day whose readings of `kind` the series gives in full.
struct DaySpan {
  long long first = 0;
  long long last = 0;
};
DaySpan coverable_days(const StationSeries& series, OutputKind kind);

// Sets run.from_day and run.to_day: the days of --from and --to, or else
// the span every file covers. Throws WRONG_PARAMETER for a file of the
// other resolution, PERIOD_OUTSIDE for a period a file does not cover and
// NO_COMMON_PERIOD when the files share no day.
void choose_period(ImportRun& run);

// pluvo's stamp of an hour counted from 1970 by its end: the day and the
// hour 1 to 24.
void pluvo_hour(long long hour_count, long long& day, int& hour);

// The name of a time base: UTC, UTC+1, UTC-2.
std::string time_base_name(int utc_offset_hours);

// The time base (hours after UTC) in which a service's daily reading ends
// at 06:00, where pluvo's Sammler window ends: UTC for the German Weather
// Service (06:00 UTC), UTC-2 for KNMI (08:00 UTC).
int daily_time_base(Source source);

// Moves the hours of the services' files to the run's time base: that of
// --time-base, else the source's daily_time_base. Throws USAGE for tables
// (their hours are taken as they stand) and WRONG_PARAMETER for daily
// totals in another time base, whose window would no longer be pluvo's.
void shift_time_base(ImportRun& run);

// "YYYY-MM-DD" of a day count.
std::string iso_date(long long days);

}  // namespace stationfile
