// A wide table as the source: one header row "YY MM DD HH <id>..." and one
// row per hour (hour h of day D ends at h:00 on D, h = 1 to 24), values in
// mm, like the tables tabsum reads and the Berlin example's
// hourly_7_stations.txt; or one row per day stamped 7 h (daily totals, as
// for a Sammler file); or rows stamped 7 h and 19 h (a Klima station's
// readings, counted in half days). Its stations come from a list with a header row
// naming the columns id, height_m and x_km, y_km or lat, lon.
//
// Quirks accepted: fields separated by blanks or tabs; two-digit years
// are 19xx as pluvo takes them; any value at or below -998 is missing.
#pragma once

#include <string>
#include <vector>

#include "import_run.h"
#include "text_reader.h"

namespace stationfile {

// True when the first line of the text begins with the word YY.
bool looks_like_table(const std::string& path);

// Reads the table at `path` into one series per column, appended to
// `series`. Throws BAD_RECORD, OUT_OF_ORDER, ERROR_OPENING, ERROR_READING.
void read_wide_table(const std::string& path, std::vector<StationSeries>& series);
void read_wide_table(textio::TextReader& reader, const std::string& name, std::vector<StationSeries>& series);

// The stations of a list for a table: x_km and y_km as they stand when the
// list has them and `want_latlon` is false (`has_plane` is then set), else
// latitude and longitude. Throws BAD_STATION_LIST and ERROR_READING.
void read_table_station_list(textio::TextReader& reader, const std::string& name, bool want_latlon,
                             std::vector<StationPlace>& places, bool& has_plane);

}  // namespace stationfile
