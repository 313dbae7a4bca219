// The five-line header of a station file: heights, x and y coordinates and
// names of its stations, one column per station.
#pragma once

#include <array>
#include <string>

#include "fatal_errors.h"
#include "run_state.h"

namespace pluvo {

// The records of a station file begin after this many lines.
constexpr int HEADER_LINES = 5;

// The header reader's work buffers, obtained once at start-up and kept from
// one group's header to the next.
struct HeaderBuffers {
  std::string line;
  std::array<std::string, 4> words;
};

// Opens `file_name` as the group's file, takes every station of its header
// into the station table from the group's first index on (obtaining room
// for them when the table holds fewer, allocation code 1), reports them on
// the console and leaves the file at its start. Sets the group's last index.
void read_station_header(PluvoRun& run, HeaderBuffers& buffers, StationGroup& group, const std::string& file_name);

// Makes the station table hold station indices up to `last`; ends the run
// with allocation code 1 when the room cannot be obtained.
void ensure_station_room(PluvoRun& run, int last);

// Offset of the first occurrence of `sub` in `s`; 0 also when there is none.
int substring_index(const std::string& s, const std::string& sub);

// With start >= 0 and n >= 0, `s` becomes its characters start..start + n,
// cut where the text ends; otherwise it stays as it is.
std::string& substring_in_place(std::string& s, int start, int n);

}  // namespace pluvo
