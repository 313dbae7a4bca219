// The German Weather Service's product files of one station: hourly
// precipitation produkt_rr_stunde_*.txt (column R1), daily totals
// produkt_nieder_tag_*.txt (RS) and produkt_klima_tag_*.txt (RSK).
//
// Quirks of the format, as the service writes it:
// - fields separated by ';', names and values padded with blanks on the
//   left, the last field of every row the word "eor";
// - STATIONS_ID without its leading zeros (the file names write five digits);
// - MESS_DATUM YYYYMMDDHH in UTC, the hour named by its end (00 is the hour
//   that ends at midnight), or YYYYMMDD for daily files;
// - -999 for a missing value, and missing hours or days also left out as rows;
// - CR LF line ends as published, LF in some copies.
#pragma once

#include <string>
#include <string_view>

#include "import_run.h"
#include "text_reader.h"

namespace stationfile {

// Reads the file at `path` into `series`. Throws UNKNOWN_SOURCE for a file
// that is not a product file, WRONG_PARAMETER for one without a
// precipitation column, BAD_RECORD, OUT_OF_ORDER, ERROR_OPENING and
// ERROR_READING; messages name the file by `path` and the line.
void read_dwd_product(const std::string& path, StationSeries& series);

// The same on a reader attached to the text; `name` names it in messages.
void read_dwd_product(textio::TextReader& reader, const std::string& name, StationSeries& series);

// The value of a field in whole tenths: digits with at most one decimal,
// -999 as MISSING. False for anything else (other negative numbers too).
bool parse_tenths(std::string_view field, Tenths& value);

}  // namespace stationfile
