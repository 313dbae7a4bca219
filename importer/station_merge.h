// Several files of one station (the service's historical file and its
// recent one, or pieces of a long series) become one series.
#pragma once

#include "import_run.h"

namespace stationfile {

// Merges every series with the id and resolution of an earlier one into
// that earlier one, which keeps its place among the stations. Where two
// files give different values for one hour or day, the later file on the
// command line wins, and a warning on standard error says how often and
// where first; a value and a gap (a row left out or -999) give the value.
// Series of one id but another resolution are left apart: the period's
// check names them.
void merge_station_files(ImportRun& run);

}  // namespace stationfile
