// The German Weather Service's station lists RR_Stundenwerte_Beschreibung_
// Stationen.txt and RR_Tageswerte_Beschreibung_Stationen.txt.
//
// Quirks of the format: a line of column names and a line of dashes, then
// fixed-width columns (id with its leading zeros, first and last day,
// height in m, latitude and longitude in degrees, name, federal state);
// names hold blanks and ISO-8859-1 letters, so only the six leading
// columns are read, as words; CR LF line ends.
#pragma once

#include <string>
#include <vector>

#include "import_run.h"
#include "text_reader.h"

namespace stationfile {

// Reads the list at `path`. Throws BAD_STATION_LIST naming the file and
// line, ERROR_OPENING and ERROR_READING.
void read_dwd_station_list(const std::string& path, std::vector<StationPlace>& places);

// The same on a reader attached to the text; `name` names it in messages.
void read_dwd_station_list(textio::TextReader& reader, const std::string& name, std::vector<StationPlace>& places);

}  // namespace stationfile
