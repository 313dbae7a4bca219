#include "table_source.h"

#include <algorithm>
#include <climits>
#include <string_view>

#include "calendar.h"
#include "dwd_product_file.h"
#include "exit_codes.h"
#include "number_scan.h"

namespace stationfile {
namespace {

// Splits a line at tabs when it has one (names may hold blanks), else at
// runs of blanks; fields are trimmed.
void split_line(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  const bool tabs = line.find('\t') != std::string_view::npos;
  std::size_t i = 0;
  while (i < line.size()) {
    if (!tabs) {
      while (i < line.size() && textio::is_c_space(static_cast<unsigned char>(line[i]))) ++i;
      if (i == line.size()) break;
    }
    std::size_t end = i;
    while (end < line.size() && (tabs ? line[end] != '\t' : !textio::is_c_space(static_cast<unsigned char>(line[end])))) {
      ++end;
    }
    std::string_view f = line.substr(i, end - i);
    while (!f.empty() && f.front() == ' ') f.remove_prefix(1);
    while (!f.empty() && f.back() == ' ') f.remove_suffix(1);
    fields.push_back(f);
    i = end + (tabs ? 1 : 0);
  }
}

bool whole_int(std::string_view w, long long& v) {
  if (w.empty() || w.size() > 9) return false;
  v = 0;
  for (char c : w) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  return true;
}

bool whole_number(std::string_view word, double& value) {
  if (word.empty() || textio::decimal_prefix_length(word) != word.size()) return false;
  value = textio::decimal_prefix_value(word);
  return true;
}

// A value of the table: one decimal at most, or missing at -998 and below.
bool table_value(std::string_view w, Tenths& value) {
  if (w.starts_with('-')) {
    double v = 0;
    if (!whole_number(w, v) || v > -998.0) return false;
    value = MISSING;
    return true;
  }
  return parse_tenths(w, value);
}

std::string where(const std::string& name, long long line) { return name + " line " + std::to_string(line); }

}  // namespace

bool looks_like_table(const std::string& path) {
  textio::TextReader reader;
  std::string word;
  return reader.open(path) && reader.scan_word(word) == textio::SCAN_OK && word == "YY";
}

void read_wide_table(textio::TextReader& reader, const std::string& name, std::vector<StationSeries>& series) {
  std::string line;
  std::vector<std::string_view> f;
  if (!reader.read_line(line)) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    throw failure(Failure::UNKNOWN_SOURCE, name + " (the file is empty)");
  }
  split_line(line, f);
  if (f.size() < 5 || f[0] != "YY" || f[1] != "MM" || f[2] != "DD" || f[3] != "HH") {
    throw failure(Failure::UNKNOWN_SOURCE, name + " (its first line is not YY MM DD HH and station ids)");
  }
  const std::size_t first_column = series.size();
  const std::size_t columns = f.size() - 4;
  for (std::size_t c = 0; c < columns; ++c) {
    StationSeries s;
    s.file = name;
    s.id = std::string(f[4 + c]);
    s.column = "table";
    s.resolution = Resolution::HOURLY;
    series.push_back(std::move(s));
  }
  long long line_number = 1;
  long long previous = LLONG_MIN;
  long long py = 0, pm = 0, pd = 0, ph = 0;  // the stamp of the row before
  bool all_at_seven = true;
  bool all_at_seven_or_nineteen = true;
  while (reader.read_line(line)) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    ++line_number;
    split_line(line, f);
    if (f.empty()) continue;
    if (f.size() != 4 + columns) {
      throw failure(Failure::BAD_RECORD, where(name, line_number) + ": " + std::to_string(f.size()) +
                                             " fields, the header names " + std::to_string(4 + columns));
    }
    long long y = 0, m = 0, d = 0, h = 0, count = 0;
    if (!whole_int(f[0], y) || !whole_int(f[1], m) || !whole_int(f[2], d) || !whole_int(f[3], h) || h < 1 ||
        !textio::stamp_hours(y < 100 ? y + 1900 : y, m, d, h, count)) {
      throw failure(Failure::BAD_RECORD, where(name, line_number) + ": stamp '" + std::string(f[0]) + " " +
                                             std::string(f[1]) + " " + std::string(f[2]) + " " + std::string(f[3]) +
                                             "'");
    }
    if (count <= previous) {
      throw failure(Failure::OUT_OF_ORDER, where(name, line_number) + ": " + std::to_string(y) + " " +
                                               std::to_string(m) + " " + std::to_string(d) + " " + std::to_string(h) +
                                               " after " + std::to_string(py) + " " + std::to_string(pm) + " " +
                                               std::to_string(pd) + " " + std::to_string(ph));
    }
    all_at_seven = all_at_seven && h == 7;
    all_at_seven_or_nineteen = all_at_seven_or_nineteen && (h == 7 || h == 19);
    if (previous != LLONG_MIN) {
      const long long slots = count - series[first_column].first + 1;
      if (slots > MAX_SERIES_SLOTS || slots > MAX_TABLE_VALUES / static_cast<long long>(columns)) {
        throw failure(Failure::BAD_RECORD, where(name, line_number) + ": " + std::to_string(y) + " " +
                                               std::to_string(m) + " " + std::to_string(d) + " " + std::to_string(h) +
                                               " lies too far after the first row for a table of " +
                                               std::to_string(columns) + " columns");
      }
    }
    for (std::size_t c = 0; c < columns; ++c) {
      StationSeries& s = series[first_column + c];
      Tenths v = 0;
      if (!table_value(f[4 + c], v)) {
        throw failure(Failure::BAD_RECORD, where(name, line_number) + ": " + s.id + " '" + std::string(f[4 + c]) +
                                               "' is not a value");
      }
      if (s.values.empty()) s.first = count;
      s.values.resize(static_cast<std::size_t>(count - s.first), MISSING);
      s.values.push_back(v);
    }
    previous = count;
    py = y, pm = m, pd = d, ph = h;
  }
  if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
  if (previous == LLONG_MIN) throw failure(Failure::BAD_RECORD, name + ": no records");
  if (!all_at_seven && all_at_seven_or_nineteen) {
    // Rows at 7 h and 19 h: a Klima station's readings, counted in half
    // days. The hourly slots of the readings lie 12 apart from the first.
    for (std::size_t c = first_column; c < series.size(); ++c) {
      StationSeries& s = series[c];
      std::vector<Tenths> readings;
      for (std::size_t k = 0; k < s.values.size(); k += 12) readings.push_back(s.values[k]);
      s.values = std::move(readings);
      s.first = (s.first - 7) / 12;
      s.resolution = Resolution::TWICE_DAILY;
    }
    return;
  }
  if (!all_at_seven) return;
  // One row a day at 7 h: daily totals, counted in days.
  for (std::size_t c = first_column; c < series.size(); ++c) {
    StationSeries& s = series[c];
    std::vector<Tenths> days;
    for (std::size_t k = 0; k < s.values.size(); k += 24) days.push_back(s.values[k]);
    s.values = std::move(days);
    s.first = (s.first - 7) / 24;
    s.resolution = Resolution::DAILY;
  }
}

void read_wide_table(const std::string& path, std::vector<StationSeries>& series) {
  textio::TextReader reader;
  if (!reader.open(path)) throw failure(Failure::ERROR_OPENING, path);
  read_wide_table(reader, path, series);
}

void read_table_station_list(textio::TextReader& reader, const std::string& name, bool want_latlon,
                             std::vector<StationPlace>& places, bool& has_plane) {
  std::string line;
  std::vector<std::string_view> f;
  if (!reader.read_line(line)) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    throw failure(Failure::BAD_STATION_LIST, name + " (the file is empty)");
  }
  split_line(line, f);
  constexpr std::size_t NONE = SIZE_MAX;
  std::size_t id = NONE, height = NONE, x = NONE, y = NONE, lat = NONE, lon = NONE;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (f[i] == "id") id = i;
    if (f[i] == "height_m") height = i;
    if (f[i] == "x_km") x = i;
    if (f[i] == "y_km") y = i;
    if (f[i] == "lat") lat = i;
    if (f[i] == "lon") lon = i;
  }
  has_plane = x != NONE && y != NONE && !want_latlon;
  if (id == NONE || height == NONE || (!has_plane && (lat == NONE || lon == NONE))) {
    throw failure(Failure::BAD_STATION_LIST,
                  name + (want_latlon ? " (its header row names no columns id, height_m, lat and lon)"
                                      : " (its header row names no columns id, height_m and x_km, y_km or lat, lon)"));
  }
  const std::size_t needed = std::max({id, height, has_plane ? std::max(x, y) : std::max(lat, lon)}) + 1;
  long long line_number = 1;
  while (reader.read_line(line)) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    ++line_number;
    split_line(line, f);
    if (f.empty()) continue;
    StationPlace p;
    bool ok = f.size() >= needed && !f[id].empty() && whole_number(f[height], p.height_m);
    if (ok && has_plane) ok = whole_number(f[x], p.x_km) && whole_number(f[y], p.y_km);
    if (ok && !has_plane) {
      ok = whole_number(f[lat], p.latitude) && whole_number(f[lon], p.longitude) && p.latitude >= -90 &&
           p.latitude <= 90 && p.longitude >= -180 && p.longitude <= 180;
    }
    if (!ok) throw failure(Failure::BAD_STATION_LIST, name + " line " + std::to_string(line_number));
    p.id = std::string(f[id]);
    places.push_back(std::move(p));
  }
  if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
}

}  // namespace stationfile
