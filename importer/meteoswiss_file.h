// MeteoSwiss open data: hourly ogd-smn_<abbr>_h_*.csv (column rre150h0)
// and daily ogd-nime_<abbr>_d_*.csv or ogd-smn_<abbr>_d_*.csv (rre150d0),
// with the station lists ogd-smn_meta_stations.csv or
// ogd-nime_meta_stations.csv.
//
// Quirks of the format, as MeteoSwiss writes it:
// - fields separated by ';', the header row names them; station_abbr first,
//   then reference_timestamp as "dd.mm.yyyy HH:MM" in UTC;
// - an hourly value is stamped with the end of its hour (00:00 is the hour
//   that ends at midnight); a daily value stamped D 00:00 is the total from
//   06:00 UTC on D to 06:00 UTC on D+1, pluvo's Sammler reading of D in UTC;
// - values in mm with one decimal, zero written 0; a missing value is empty;
// - station lists in Windows-1252 (only numbers are read) with LV95 and
//   WGS84 coordinates; CR LF line ends.
#pragma once

#include <string>
#include <vector>

#include "import_run.h"
#include "text_reader.h"

namespace stationfile {

// True when the file's first line begins with "station_abbr;reference_timestamp;".
bool looks_like_meteoswiss(const std::string& path);

// Reads one station's file into `series`. Throws WRONG_PARAMETER,
// BAD_RECORD, OUT_OF_ORDER, ERROR_OPENING and ERROR_READING.
void read_meteoswiss_file(const std::string& path, StationSeries& series);
void read_meteoswiss_file(textio::TextReader& reader, const std::string& name, StationSeries& series);

// The stations of a list: height, latitude, longitude and, as x and y in
// km, the LV95 coordinates. Throws BAD_STATION_LIST and ERROR_READING.
void read_meteoswiss_station_list(textio::TextReader& reader, const std::string& name,
                                  std::vector<StationPlace>& places);

}  // namespace stationfile
