// The five-line header of a station file: heights, x and y coordinates and
// names of its stations, one column per station.
#pragma once

#include <string>

#include "run_state.h"

namespace pluvo {

// Opens the file, takes its stations into the station table from station
// index `first` on, reports them on the console and leaves the file at its
// start. `count` is the number of stations taken (held so that no index
// exceeds MAX_STATIONS); `declared` the number the header lists.
void read_station_header(PluvoRun& run, textio::TextReader& file, const std::string& file_name, int first,
                         int& count, int& declared);

// Offset of the first occurrence of `sub` in `s`; 0 also when there is none.
int substring_index(const std::string& s, const std::string& sub);

// With start >= 0 and n >= 0, `s` becomes its characters start..start + n,
// cut where the text ends; otherwise it stays as it is.
std::string& substring_in_place(std::string& s, int start, int n);

}  // namespace pluvo
