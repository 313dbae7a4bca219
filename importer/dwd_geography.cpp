#include "dwd_geography.h"

#include <array>
#include <climits>
#include <string_view>

#include "calendar.h"
#include "delimited_fields.h"
#include "exit_codes.h"
#include "number_scan.h"

namespace stationfile {
namespace {

bool number(std::string_view word, double& value) {
  if (word.empty() || textio::decimal_prefix_length(word) != word.size()) return false;
  value = textio::decimal_prefix_value(word);
  return true;
}

bool date(std::string_view word, long long& days) {
  if (word.size() != 8) return false;
  int v[3] = {0, 0, 0};
  const std::size_t widths[3] = {4, 2, 2};
  std::size_t at = 0;
  for (int i = 0; i < 3; ++i) {
    for (std::size_t k = 0; k < widths[i]; ++k, ++at) {
      if (word[at] < '0' || word[at] > '9') return false;
      v[i] = v[i] * 10 + (word[at] - '0');
    }
  }
  if (v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > textio::days_in_month(v[0], v[1])) return false;
  days = textio::days_from_civil(v[0], v[1], v[2]);
  return true;
}

}  // namespace

void read_dwd_geography(textio::TextReader& reader, const std::string& name, std::vector<StationLocation>& rows) {
  std::string line;
  if (!reader.read_line(line) || !line.starts_with("Stations_id;Stationshoehe;Geogr.Breite;Geogr.Laenge;")) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    throw failure(Failure::BAD_STATION_LIST, name + " (its first line is not that of Metadaten_Geographie)");
  }
  long long line_number = 1;
  std::array<std::string_view, 6> f;
  while (reader.read_line(line)) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    ++line_number;
    std::string_view rest = trim(line);
    if (rest.empty()) continue;
    std::size_t n = 0;
    for (; n < f.size(); ++n) {
      const std::size_t end = rest.find(';');
      if (end == std::string_view::npos) break;
      f[n] = trim(rest.substr(0, end));
      rest.remove_prefix(end + 1);
    }
    StationLocation row;
    const bool ok = n == f.size() && number(f[1], row.height_m) && number(f[2], row.latitude) &&
                    number(f[3], row.longitude) && date(f[4], row.from_day) &&
                    (f[5].empty() ? (row.to_day = LLONG_MAX, true) : date(f[5], row.to_day)) &&
                    row.latitude >= -90 && row.latitude <= 90 && row.longitude >= -180 && row.longitude <= 180;
    if (!ok) throw failure(Failure::BAD_STATION_LIST, name + " line " + std::to_string(line_number));
    rows.push_back(row);
  }
  if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
}

bool location_on(const std::vector<StationLocation>& rows, long long day, StationLocation& found) {
  for (const StationLocation& row : rows) {
    if (row.from_day <= day && day <= row.to_day) {
      found = row;
      return true;
    }
  }
  return false;
}

bool moved_within(const std::vector<StationLocation>& rows, long long first_day, long long last_day,
                  long long& moved_on) {
  bool moved = false;
  for (const StationLocation& row : rows) {
    if (row.from_day > first_day && row.from_day <= last_day && (!moved || row.from_day < moved_on)) {
      moved_on = row.from_day;
      moved = true;
    }
  }
  return moved;
}

}  // namespace stationfile
