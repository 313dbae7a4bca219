// pluvo's station files and tabsum's hourly table, composed in the run's
// output buffer.
//
// A station file has five header lines as pluvo reads them: a title; then
// "YY\tMM\tDD\tHH" (exactly the 11 characters pluvo drops) followed by the
// heights, the x and the y coordinates and the names, one column per
// station. Records follow, one per line: year, month, day, hour and one
// value per station, tab-separated; -999 where a value is missing.
#pragma once

#include <vector>

#include "import_run.h"

namespace stationfile {

// Writes the whole file of the run's kind for run.from_day to run.to_day
// to run.output, and counts per station the values written as -999.
// Returns the number of records (table rows) written.
long long write_station_file(ImportRun& run, std::vector<long long>& missing);

// A value in tenths as one decimal, and in units of 10 mm (the Sammler
// file's) as two; -999 for MISSING.
void put_tenths(textio::OutputBuffer& out, Tenths value);
void put_tens_of_mm(textio::OutputBuffer& out, Tenths value);

}  // namespace stationfile
