// Where each station of a run stands: its height and its x and y in km on
// the run's plane, from the station list.
#pragma once

#include "import_run.h"

namespace stationfile {

// Fills run.places, one for each series, in the same order. Throws
// NO_COORDINATES for a station without a list or missing from it,
// STATION_TWICE for two files of one station, and the failures of the
// list's reader.
void place_stations(ImportRun& run);

}  // namespace stationfile
