#include "station_merge.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "calendar.h"

namespace stationfile {
namespace {

long long floor_div(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// The service's own stamp of an hour or day count: YYYYMMDDHH or YYYYMMDD.
std::string service_stamp(long long count, Resolution resolution) {
  const long long day = resolution == Resolution::HOURLY        ? floor_div(count, 24)
                        : resolution == Resolution::TWICE_DAILY ? floor_div(count, 2)
                                                                : count;
  const textio::CivilDate d = textio::civil_from_days(day);
  char text[32];
  if (resolution == Resolution::TWICE_DAILY) {
    std::snprintf(text, sizeof text, "%04lld%02d%02d%02d", d.year, d.month, d.day, count - day * 2 == 0 ? 7 : 19);
  } else if (resolution == Resolution::HOURLY) {
    std::snprintf(text, sizeof text, "%04lld%02d%02d%02lld", d.year, d.month, d.day, count - day * 24);
  } else {
    std::snprintf(text, sizeof text, "%04lld%02d%02d", d.year, d.month, d.day);
  }
  return text;
}

void merge_into(StationSeries& earlier, const StationSeries& later) {
  const long long first = std::min(earlier.first, later.first);
  const long long last = std::max(earlier.last(), later.last());
  if (first < earlier.first) {
    earlier.values.insert(earlier.values.begin(), static_cast<std::size_t>(earlier.first - first), MISSING);
    earlier.first = first;
  }
  earlier.values.resize(static_cast<std::size_t>(last - first + 1), MISSING);
  long long differing = 0;
  long long first_differing = 0;
  for (std::size_t k = 0; k < later.values.size(); ++k) {
    const Tenths v = later.values[k];
    if (v == MISSING) continue;
    Tenths& kept = earlier.values[static_cast<std::size_t>(later.first - first) + k];
    if (kept != MISSING && kept != v && differing++ == 0) first_differing = later.first + static_cast<long long>(k);
    kept = v;
  }
  if (differing > 0) {
    const char* unit = earlier.resolution == Resolution::HOURLY        ? " hour"
                       : earlier.resolution == Resolution::TWICE_DAILY ? " reading"
                                                                       : " day";
    const std::string text = "stationfile: warning: " + later.file + " and " + earlier.file + " give different " +
                             "values for station " + earlier.id + " in " + std::to_string(differing) +
                             unit +
                             (differing == 1 ? "" : "s") + ", the first " +
                             service_stamp(first_differing, earlier.resolution) + "; the values of " + later.file +
                             " are used\n";
    std::fputs(text.c_str(), stderr);
  }
  earlier.file += " + " + later.file;
}

}  // namespace

void merge_station_files(ImportRun& run) {
  std::vector<StationSeries>& all = run.series;
  for (std::size_t i = 1; i < all.size();) {
    std::size_t j = 0;
    while (j < i && (all[j].id != all[i].id || all[j].resolution != all[i].resolution)) ++j;
    if (j == i) {
      ++i;
      continue;
    }
    merge_into(all[j], all[i]);
    all.erase(all.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

}  // namespace stationfile
