// stationfile's readers of the services' files: the German Weather
// Service's product file, station list, Metadaten_Geographie and zip
// directory; KNMI's files and JSON station lists; MeteoSwiss's files and
// station lists; wide tables and their station lists.
//
// Layout of the input: a byte that chooses the reader (its value modulo 10),
// then the file. Every reader may only end with a failure of stationfile's
// table; a product file that is read gives one series of its stamps in
// order, each value MISSING or not negative; a file without CR and 0x1A
// bytes is read a second time with CR LF line ends: text mode must give the
// same result or the same message.

#include <cstdint>
#include <string>
#include <vector>

#include "dwd_geography.h"
#include "dwd_product_file.h"
#include "dwd_station_list.h"
#include "exit_codes.h"
#include "fatal_error.h"
#include "fuzz_support.h"
#include "knmi_file.h"
#include "knmi_station_list.h"
#include "meteoswiss_file.h"
#include "table_source.h"
#include "zip_archive.h"

namespace {

using stationfile::EXIT_FILE_ERROR;
using stationfile::EXIT_MISTAKE;

std::string check_failure(const textio::FatalError& f) {
  if (f.code != EXIT_MISTAKE && f.code != EXIT_FILE_ERROR) fuzz::finding("a failure outside the table");
  if (!f.message.starts_with("stationfile: ") || !f.message.ends_with("\n")) fuzz::finding("a message of no row");
  return f.message;
}

// A series that was read: values MISSING or not negative, one at least.
std::string checked(const stationfile::StationSeries& s) {
  if (s.values.empty()) fuzz::finding("a series without values");
  for (stationfile::Tenths v : s.values) {
    if (v != stationfile::MISSING && v < 0) fuzz::finding("a negative value");
  }
  return s.id + " " + s.column + " " + std::to_string(s.first) + " " + std::to_string(s.values.size());
}

// What a reader made of the text, as one string to compare.
std::string read_as(int reader_kind, const std::string& text) {
  textio::TextReader reader;
  reader.attach_text(text);
  try {
    switch (reader_kind) {
      case 0: {
        stationfile::StationSeries s;
        stationfile::read_dwd_product(reader, "f.txt", s);
        return checked(s);
      }
      case 1: {
        std::vector<stationfile::StationPlace> places;
        stationfile::read_dwd_station_list(reader, "s.txt", places);
        return std::to_string(places.size());
      }
      case 2: {
        std::vector<stationfile::StationLocation> rows;
        stationfile::read_dwd_geography(reader, "g.txt", rows);
        return std::to_string(rows.size());
      }
      case 4: {
        stationfile::StationSeries s;
        stationfile::read_knmi_file(reader, "k.txt", s);
        return checked(s);
      }
      case 5: {
        std::vector<stationfile::StationPlace> places;
        stationfile::read_knmi_station_list(text, "k.json", places);
        return std::to_string(places.size());
      }
      case 6: {
        std::vector<stationfile::StationSeries> all;
        stationfile::read_wide_table(reader, "t.txt", all);
        std::string result;
        for (const auto& s : all) result += checked(s) + ";";
        return result;
      }
      case 7: {
        std::vector<stationfile::StationPlace> places;
        bool has_plane = false;
        stationfile::read_table_station_list(reader, "l.txt", false, places, has_plane);
        return std::to_string(places.size()) + (has_plane ? " plane" : "");
      }
      case 8: {
        stationfile::StationSeries s;
        stationfile::read_meteoswiss_file(reader, "m.csv", s);
        return checked(s);
      }
      case 9: {
        std::vector<stationfile::StationPlace> places;
        stationfile::read_meteoswiss_station_list(reader, "m.csv", places);
        return std::to_string(places.size());
      }
      default: {
        std::string member, unpacked;
        const bool found = stationfile::unpack_zip_member(text, "z.zip", "produkt_", member, unpacked);
        return found ? member + " " + std::to_string(unpacked.size()) : "none";
      }
    }
  } catch (const textio::FatalError& f) {
    return check_failure(f);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ByteSource in(data, size);
  const int kind = in.byte() % 10;
  const std::string text(in.rest());
  const std::string first = read_as(kind, text);
  if (kind == 3 || kind == 5 || text.find_first_of(std::string("\r\x1a", 2)) != std::string::npos) return 0;
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  if (read_as(kind, crlf) != first) fuzz::finding("CR LF line ends read otherwise than LF");
  return 0;
}
