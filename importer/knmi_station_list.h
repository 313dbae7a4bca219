// KNMI's station lists as JSON (knmi_meteostation.json for the automatic
// stations, knmi_neerslagstation.json for the rain gauges): one object per
// attribute ("lon", "lat", "altitude", "name", ...), each keyed by station
// number. Only longitude, latitude and altitude are read; a station
// without all three is not in the list.
#pragma once

#include <string>
#include <vector>

#include "import_run.h"

namespace stationfile {

// Reads the list from its whole text; throws BAD_STATION_LIST naming
// `name` and the offset where the JSON stops making sense.
void read_knmi_station_list(const std::string& text, const std::string& name, std::vector<StationPlace>& places);

}  // namespace stationfile
