// Where each station of a run stands: its height and its x and y in km on
// the run's plane, from the station list.
#pragma once

#include "import_run.h"

namespace stationfile {

// Fills run.places, one for each series, in the same order: from the
// station list when one is given (the series are then put in the list's
// order; a table's columns that are not in the list are left out), else from each station's
// Metadaten_Geographie (in its zip, or beside its product file), at the
// last day of the period, with a warning when the station moved within the
// period. Throws NO_COORDINATES for a station without a place, and the
// failures of the readers.
void place_stations(ImportRun& run);

}  // namespace stationfile
