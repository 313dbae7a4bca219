#include "meteoswiss_file.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "calendar.h"
#include "dwd_product_file.h"
#include "exit_codes.h"
#include "number_scan.h"

namespace stationfile {
namespace {

void split_fields(std::string_view row, std::vector<std::string_view>& fields) {
  fields.clear();
  while (!row.empty() && (row.back() == '\n' || row.back() == '\r')) row.remove_suffix(1);
  for (;;) {
    const std::size_t end = row.find(';');
    fields.push_back(row.substr(0, end));
    if (end == std::string_view::npos) break;
    row.remove_prefix(end + 1);
  }
}

std::size_t column_of(const std::vector<std::string_view>& fields, std::string_view name) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i] == name) return i;
  }
  return SIZE_MAX;
}

bool two_digits(std::string_view s, std::size_t at, int& v) {
  if (s[at] < '0' || s[at] > '9' || s[at + 1] < '0' || s[at + 1] > '9') return false;
  v = (s[at] - '0') * 10 + (s[at + 1] - '0');
  return true;
}

// "dd.mm.yyyy HH:MM" with MM 00: hours (hourly) or days (daily, 00:00 only).
bool parse_stamp(std::string_view s, Resolution resolution, long long& count) {
  int d = 0, m = 0, y1 = 0, y2 = 0, h = 0, minute = 0;
  if (s.size() != 16 || s[2] != '.' || s[5] != '.' || s[10] != ' ' || s[13] != ':' || !two_digits(s, 0, d) ||
      !two_digits(s, 3, m) || !two_digits(s, 6, y1) || !two_digits(s, 8, y2) || !two_digits(s, 11, h) ||
      !two_digits(s, 14, minute)) {
    return false;
  }
  const int y = y1 * 100 + y2;
  if (minute != 0 || h > 23 || m < 1 || m > 12 || d < 1 || d > textio::days_in_month(y, m)) return false;
  if (resolution == Resolution::DAILY && h != 0) return false;
  const long long days = textio::days_from_civil(y, m, d);
  count = resolution == Resolution::DAILY ? days : days * 24 + h;
  return true;
}

bool whole_number(std::string_view word, double& value) {
  if (word.empty() || textio::decimal_prefix_length(word) != word.size()) return false;
  value = textio::decimal_prefix_value(word);
  return true;
}

std::string where(const std::string& name, long long line) { return name + " line " + std::to_string(line); }

}  // namespace

bool looks_like_meteoswiss(const std::string& path) {
  textio::TextReader reader;
  std::string line;
  return reader.open(path) && reader.read_line(line) && line.starts_with("station_abbr;reference_timestamp;");
}

void read_meteoswiss_file(textio::TextReader& reader, const std::string& name, StationSeries& series) {
  series.file = name;
  series.values.clear();
  std::string line;
  std::vector<std::string_view> f;
  if (!reader.read_line(line) || !line.starts_with("station_abbr;reference_timestamp;")) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    throw failure(Failure::UNKNOWN_SOURCE, name + " (its first line is not that of a MeteoSwiss file)");
  }
  split_fields(line, f);
  std::size_t value_column = column_of(f, "rre150h0");
  series.resolution = Resolution::HOURLY;
  if (value_column == SIZE_MAX) {
    value_column = column_of(f, "rre150d0");
    series.resolution = Resolution::DAILY;
  }
  if (value_column == SIZE_MAX) {
    throw failure(Failure::WRONG_PARAMETER, name + " has no precipitation column (rre150h0 or rre150d0)");
  }
  series.column = std::string(f[value_column]);
  long long line_number = 1;
  std::string last;
  while (reader.read_line(line)) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    ++line_number;
    split_fields(line, f);
    if (f.size() == 1 && f[0].empty()) continue;
    long long count = 0;
    if (f.size() <= value_column || !parse_stamp(f[1], series.resolution, count)) {
      throw failure(Failure::BAD_RECORD, where(name, line_number) + ": not a row of " +
                                             (series.resolution == Resolution::HOURLY ? "hourly" : "daily") +
                                             " values stamped dd.mm.yyyy HH:MM");
    }
    Tenths value = MISSING;
    if (!f[value_column].empty() && !parse_tenths(f[value_column], value)) {
      throw failure(Failure::BAD_RECORD, where(name, line_number) + ": " + series.column + " '" +
                                             std::string(f[value_column]) + "' is not a value");
    }
    if (series.values.empty()) {
      series.id = std::string(f[0]);
      series.first = count;
    } else {
      if (f[0] != series.id) {
        throw failure(Failure::BAD_RECORD, where(name, line_number) + ": station " + std::string(f[0]) +
                                               " in a file of station " + series.id);
      }
      if (count <= series.last()) {
        throw failure(Failure::OUT_OF_ORDER,
                      where(name, line_number) + ": " + std::string(f[1]) + " after " + last);
      }
      if (count - series.first >= MAX_SERIES_SLOTS) {
        throw failure(Failure::BAD_RECORD, where(name, line_number) + ": " + std::string(f[1]) +
                                               " lies more than 1000 years after the first record");
      }
      series.values.resize(static_cast<std::size_t>(count - series.first), MISSING);
    }
    series.values.push_back(value);
    last.assign(f[1]);
  }
  if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
  if (series.values.empty()) throw failure(Failure::BAD_RECORD, name + ": no records");
}

void read_meteoswiss_file(const std::string& path, StationSeries& series) {
  textio::TextReader reader;
  if (!reader.open(path)) throw failure(Failure::ERROR_OPENING, path);
  read_meteoswiss_file(reader, path, series);
}

void read_meteoswiss_station_list(textio::TextReader& reader, const std::string& name,
                                  std::vector<StationPlace>& places) {
  std::string line;
  std::vector<std::string_view> f;
  if (!reader.read_line(line)) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    throw failure(Failure::BAD_STATION_LIST, name + " (the file is empty)");
  }
  split_fields(line, f);
  const std::size_t abbr = column_of(f, "station_abbr"), height = column_of(f, "station_height_masl"),
                    east = column_of(f, "station_coordinates_lv95_east"),
                    north = column_of(f, "station_coordinates_lv95_north"),
                    lat = column_of(f, "station_coordinates_wgs84_lat"),
                    lon = column_of(f, "station_coordinates_wgs84_lon");
  if (abbr == SIZE_MAX || height == SIZE_MAX || east == SIZE_MAX || north == SIZE_MAX || lat == SIZE_MAX ||
      lon == SIZE_MAX) {
    throw failure(Failure::BAD_STATION_LIST, name + " (its header row is not that of a MeteoSwiss station list)");
  }
  const std::size_t needed = std::max({abbr, height, east, north, lat, lon}) + 1;
  long long line_number = 1;
  while (reader.read_line(line)) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    ++line_number;
    split_fields(line, f);
    if (f.size() == 1 && f[0].empty()) continue;
    StationPlace p;
    double e = 0, n = 0;
    if (f.size() < needed || f[abbr].empty() || !whole_number(f[height], p.height_m) || !whole_number(f[east], e) ||
        !whole_number(f[north], n) || !whole_number(f[lat], p.latitude) || !whole_number(f[lon], p.longitude)) {
      throw failure(Failure::BAD_STATION_LIST, name + " line " + std::to_string(line_number));
    }
    p.id = std::string(f[abbr]);
    p.x_km = e / 1000.0;
    p.y_km = n / 1000.0;
    places.push_back(std::move(p));
  }
  if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
}

}  // namespace stationfile
