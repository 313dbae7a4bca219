// The state of one stationfile run: what the command line asks for, the
// series read from the services' files, the stations' places and the
// period to write. Plain records passed by reference through the steps.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "output_buffer.h"

namespace stationfile {

enum class OutputKind { ANETZ, KLIMA, SAMMLER, TABLE };

// Whose files a run reads: the German Weather Service's, KNMI's,
// MeteoSwiss's, or wide tables.
enum class Source { DWD, KNMI, METEOSWISS, TABLE };

// Values are kept as whole tenths of a millimetre: the services give one
// decimal, and sums of tenths stay exact.
using Tenths = std::int32_t;
inline constexpr Tenths MISSING = std::numeric_limits<Tenths>::min();

// A series is kept with a slot for every hour from its first to its last:
// a file whose stamps lie further apart is refused as a mistake rather
// than given the memory (1000 years of hours: 35 MB a series). A table's
// columns together may hold at most MAX_TABLE_VALUES slots.
inline constexpr long long MAX_SERIES_SLOTS = 1000LL * 8766;
inline constexpr long long MAX_TABLE_VALUES = 1LL << 26;

// --projection lv95 or none: x and y as the station list gives them, in km
// (MeteoSwiss's LV95 coordinates, a table list's x_km and y_km). The other
// services' lists give latitudes and longitudes only, which need utm:ZONE.
enum class ListedPlane { NOT_ASKED, LV95, NONE };

struct ImportSettings {
  OutputKind kind = OutputKind::ANETZ;
  std::string output_path;
  std::vector<std::string> inputs;
  std::string stations_path;  // empty: none given
  bool from_given = false;
  bool to_given = false;
  long long from_day = 0;  // days from 1 January 1970
  long long to_day = 0;
  int utm_zone = 32;
  bool projection_given = false;  // utm:ZONE
  ListedPlane listed_plane = ListedPlane::NOT_ASKED;
  bool time_base_given = false;
  int utc_offset_hours = 0;  // the files' UTC hours are written this many hours later
  bool source_given = false;
  Source source = Source::DWD;  // with source_given
};

// TWICE_DAILY: a table's readings stamped 7 h and 19 h, counted in half
// days (2 D is the reading at 7 h of day D, 2 D + 1 the one at 19 h).
enum class Resolution { HOURLY, DAILY, TWICE_DAILY };

// One product file of one station, as read. Hourly series count hours from
// 1 January 1970 0:00, each hour named by its end (UTC); daily series count
// days. values[k] belongs to first + k; MISSING where the file has none.
struct StationSeries {
  std::string file;
  std::string id;      // five digits, as the service's file names write it
  std::string column;  // the parameter read: R1, RS or RSK
  Resolution resolution = Resolution::HOURLY;
  long long first = 0;
  std::vector<Tenths> values;
  std::string geography;  // Metadaten_Geographie of the station's zip; empty for a plain file
  long long last() const { return first + static_cast<long long>(values.size()) - 1; }
};

// A station of a station list, and where it lies on the plane of the run.
struct StationPlace {
  std::string id;
  double height_m = 0;
  double latitude = 0;
  double longitude = 0;
  double x_km = 0;
  double y_km = 0;
};

struct ImportRun {
  explicit ImportRun(textio::OutputBuffer& console_) : console(console_) {}
  textio::OutputBuffer& console;
  textio::OutputBuffer output{nullptr, 1 << 16};
  ImportSettings settings;
  std::vector<StationSeries> series;  // in the order of the files given
  std::vector<StationPlace> places;   // places[i] is where series[i] was measured
  long long from_day = 0;             // the period written, whole days
  long long to_day = 0;
  bool output_is_plain_file = false;  // a regular file, or none before the run made it
  Source source = Source::DWD;        // of every file of the run
  bool plane_as_listed = false;       // x and y taken from the station list as they stand
};

}  // namespace stationfile
