#include "reading_period.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "calendar.h"
#include "exit_codes.h"

namespace stationfile {
namespace {

long long floor_div(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
long long ceil_div(long long a, long long b) { return -floor_div(-a, b); }

const char* resolution_words(const StationSeries& s) {
  switch (s.resolution) {
    case Resolution::HOURLY: return "hourly values";
    case Resolution::DAILY: return "daily totals";
    case Resolution::TWICE_DAILY: return "readings at 7 h and 19 h";
  }
  return "";
}

const char* kind_words(OutputKind kind) {
  switch (kind) {
    case OutputKind::ANETZ: return "an anetz file needs hourly values (R1)";
    case OutputKind::KLIMA: return "a klima file is summed from hourly values (R1) or read from a table at 7 h and 19 h";
    case OutputKind::SAMMLER: return "a sammler file needs daily totals (RS or RSK)";
    case OutputKind::TABLE: return "a table needs hourly values (R1)";
  }
  return "";
}

}  // namespace

Resolution needed_resolution(OutputKind kind) {
  return kind == OutputKind::SAMMLER ? Resolution::DAILY : Resolution::HOURLY;
}

DaySpan coverable_days(const StationSeries& series, OutputKind kind) {
  if (series.resolution == Resolution::DAILY) return DaySpan{series.first, series.last()};
  // The days with both readings.
  if (series.resolution == Resolution::TWICE_DAILY) return DaySpan{ceil_div(series.first, 2), floor_div(series.last() - 1, 2)};
  // The hours a day needs, relative to hour 0 of that day.
  const long long first_hour = kind == OutputKind::KLIMA ? 7 : 1;
  const long long last_hour = kind == OutputKind::KLIMA ? 30 : 24;
  return DaySpan{ceil_div(series.first - first_hour, 24), floor_div(series.last() - last_hour, 24)};
}

void choose_period(ImportRun& run) {
  const ImportSettings& s = run.settings;
  const Resolution wanted = needed_resolution(s.kind);
  DaySpan common{LLONG_MIN, LLONG_MAX};
  for (const StationSeries& series : run.series) {
    const bool readings_for_klima = s.kind == OutputKind::KLIMA && series.resolution == Resolution::TWICE_DAILY;
    if (series.resolution != wanted && !readings_for_klima) {
      throw failure(Failure::WRONG_PARAMETER, series.file + " holds " + resolution_words(series) + " (" +
                                                  series.column + "); " + kind_words(s.kind));
    }
    const DaySpan span = coverable_days(series, s.kind);
    const long long from = s.from_given ? s.from_day : span.first;
    const long long to = s.to_given ? s.to_day : span.last;
    if (span.first > span.last) throw failure(Failure::NO_COMMON_PERIOD, series.file + " covers no whole day");
    if (from < span.first || to > span.last) {
      throw failure(Failure::PERIOD_OUTSIDE, iso_date(from) + " to " + iso_date(to) + ", but " + series.file +
                                                 " covers " + iso_date(span.first) + " to " + iso_date(span.last));
    }
    common.first = std::max(common.first, span.first);
    common.last = std::min(common.last, span.last);
  }
  run.from_day = s.from_given ? s.from_day : common.first;
  run.to_day = s.to_given ? s.to_day : common.last;
  if (run.from_day > run.to_day) {
    throw failure(Failure::NO_COMMON_PERIOD,
                  "the files share no day (" + iso_date(run.from_day) + " to " + iso_date(run.to_day) + ")");
  }
}

void pluvo_hour(long long hour_count, long long& day, int& hour) {
  day = floor_div(hour_count - 1, 24);
  hour = static_cast<int>(hour_count - day * 24);
}

std::string time_base_name(int utc_offset_hours) {
  if (utc_offset_hours == 0) return "UTC";
  return (utc_offset_hours > 0 ? "UTC+" : "UTC-") + std::to_string(utc_offset_hours > 0 ? utc_offset_hours : -utc_offset_hours);
}

int daily_time_base(Source source) { return source == Source::KNMI ? -2 : 0; }

void shift_time_base(ImportRun& run) {
  ImportSettings& settings = run.settings;
  if (run.source == Source::TABLE) {
    if (settings.time_base_given) {
      throw failure(Failure::USAGE, "--time-base is for the services' files; a table's hours are taken as they stand");
    }
    return;
  }
  const int daily_offset = daily_time_base(run.source);
  if (!settings.time_base_given) settings.utc_offset_hours = daily_offset;
  const int offset = settings.utc_offset_hours;
  for (StationSeries& s : run.series) {
    if (s.resolution == Resolution::HOURLY) {
      s.first += offset;
    } else if (offset != daily_offset) {
      throw failure(Failure::WRONG_PARAMETER,
                    s.file + " holds daily totals (" + s.column + "), which end at " +
                        (run.source == Source::KNMI ? "08:00" : "06:00") + " UTC: in " + time_base_name(offset) +
                        " they would not lie on pluvo's reading window (hours 7 to 6)");
    }
  }
}

std::string iso_date(long long days) {
  const textio::CivilDate d = textio::civil_from_days(days);
  char text[32];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d", d.year, d.month, d.day);
  return text;
}

}  // namespace stationfile
