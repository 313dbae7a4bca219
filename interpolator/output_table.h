// The output table: a five-line header listing every station, then one
// tab-separated row per hour.
#pragma once

#include <string>

#include "run_state.h"

namespace pluvo {

// Title, then heights, x and y coordinates and names of stations 1..total_stations.
void write_output_header(PluvoRun& run);

// One row: the stamp's year (minus 1900 when above 100), month, day and
// hour, then the values of stations 1..total_stations with one decimal.
void write_output_row(PluvoRun& run, const DateHour& stamp, const double* values);

// The row write_output_row writes, appended to `text` instead; it only
// reads the run, so rows can be composed side by side.
void compose_output_row(const PluvoRun& run, const DateHour& stamp, const double* values, std::string& text);

// The same row with the year always written minus 1900, as the rows of the
// start of the run are.
void write_start_row(PluvoRun& run, const DateHour& stamp, const double* values);

}  // namespace pluvo
