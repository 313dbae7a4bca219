// Metadaten_Geographie_<id>.txt, which the German Weather Service puts
// into every station's zip: one row per location the station has had.
//
// Quirks of the format: fields separated by ';' and padded with blanks;
// Stations_id;Stationshoehe;Geogr.Breite;Geogr.Laenge;von_datum;bis_datum;
// Stationsname; dates YYYYMMDD, an open end date left blank; names in
// ISO-8859-1 (not read); LF line ends.
#pragma once

#include <string>
#include <vector>

#include "import_run.h"
#include "text_reader.h"

namespace stationfile {

struct StationLocation {
  double height_m = 0;
  double latitude = 0;
  double longitude = 0;
  long long from_day = 0;  // days from 1 January 1970
  long long to_day = 0;    // the last day; LLONG_MAX for an open end
};

// Reads the rows; throws BAD_STATION_LIST naming `name` and the line, and
// ERROR_READING.
void read_dwd_geography(textio::TextReader& reader, const std::string& name, std::vector<StationLocation>& rows);

// The location on `day`: the row whose span holds it, else none (false).
bool location_on(const std::vector<StationLocation>& rows, long long day, StationLocation& found);

// The first day after `first_day`, up to `last_day`, on which the station
// stood somewhere new; false when it did not move in that span.
bool moved_within(const std::vector<StationLocation>& rows, long long first_day, long long last_day,
                  long long& moved_on);

}  // namespace stationfile
