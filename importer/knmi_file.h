// The Royal Netherlands Meteorological Institute's (KNMI) files of one
// station: hourly uurgeg_<stn>_*.txt (column RH) and daily
// neerslaggeg_*.txt of the rain gauges (column RD).
//
// Quirks of the format, as KNMI writes it:
// - a preamble of source lines and column descriptions, then the header
//   row "# STN,YYYYMMDD,   HH,..." (hourly) or "STN,YYYYMMDD,   RD,..."
//   (daily); fields separated by ',' and padded with blanks, a trailing ','
//   on daily rows;
// - values in 0.1 mm; RH = -1 means less than 0.05 mm (written as 0.0);
//   a missing value is blank;
// - HH 1 to 24 is the hour that ends at HH:00 UTC;
// - RD dated D is the total from 08:00 UTC on D-1 to 08:00 UTC on D: it is
//   kept as the day its window begins, D-1, which becomes pluvo's Sammler
//   reading of D-1 in the time base UTC-2 (08:00 UTC is 06:00 there);
// - CR LF line ends.
#pragma once

#include <string>

#include "import_run.h"
#include "text_reader.h"

namespace stationfile {

// True when one of the first two lines names the institute.
bool looks_like_knmi(const std::string& path);

// Reads the file into `series` (hourly counts in UTC). Throws
// UNKNOWN_SOURCE, WRONG_PARAMETER, BAD_RECORD, OUT_OF_ORDER, ERROR_OPENING
// and ERROR_READING.
void read_knmi_file(const std::string& path, StationSeries& series);
void read_knmi_file(textio::TextReader& reader, const std::string& name, StationSeries& series);

}  // namespace stationfile
