#include "knmi_file.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "calendar.h"
#include "delimited_fields.h"
#include "exit_codes.h"

namespace stationfile {
namespace {

constexpr std::size_t MAX_COLUMNS = 40;

bool digits(std::string_view s, long long& v) {
  if (s.empty() || s.size() > 9) return false;
  v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  return true;
}

// Blank: missing; -1: less than 0.05 mm, which one decimal writes as 0.0.
bool knmi_value(std::string_view f, Tenths& value) {
  long long v = 0;
  if (f.empty()) {
    value = MISSING;
  } else if (f == "-1") {
    value = 0;
  } else if (digits(f, v)) {
    value = static_cast<Tenths>(v);
  } else {
    return false;
  }
  return true;
}

std::string where(const std::string& name, long long line) { return name + " line " + std::to_string(line); }

}  // namespace

bool looks_like_knmi(const std::string& path) {
  textio::TextReader reader;
  if (!reader.open(path)) return false;
  std::string line;
  for (int i = 0; i < 2 && reader.read_line(line); ++i) {
    if (line.find("METEOROLOGISCH INSTITUUT") != std::string::npos) return true;
  }
  return false;
}

void read_knmi_file(textio::TextReader& reader, const std::string& name, StationSeries& series) {
  series.file = name;
  series.values.clear();
  std::string line;
  std::array<std::string_view, MAX_COLUMNS> f;
  long long line_number = 0;
  std::size_t stamp_column = 0, hour_column = 0, value_column = 0, columns = 0;
  // The header row ends the preamble.
  while (value_column == 0 && reader.read_line(line)) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    ++line_number;
    std::string_view row = trim(line);
    if (row.starts_with("#")) row = trim(row.substr(1));
    if (!row.starts_with("STN,YYYYMMDD,")) continue;
    columns = split_fields(row, ',', f);
    stamp_column = 1;
    for (std::size_t i = 2; i < columns; ++i) {
      if (f[i] == "HH") hour_column = i;
      if (f[i] == "RH" || f[i] == "RD") {
        value_column = i;
        series.column = std::string(f[i]);
      }
    }
    if (value_column == 0) {
      throw failure(Failure::WRONG_PARAMETER, name + " has no precipitation column (RH or RD)");
    }
    series.resolution = series.column == "RH" ? Resolution::HOURLY : Resolution::DAILY;
    if (series.resolution == Resolution::HOURLY && hour_column == 0) {
      throw failure(Failure::BAD_RECORD, where(name, line_number) + ": RH without the column HH");
    }
  }
  if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
  if (value_column == 0) throw failure(Failure::UNKNOWN_SOURCE, name + " (no KNMI header row STN,YYYYMMDD,...)");
  long long station = -1;
  char last[48] = "";
  while (reader.read_line(line)) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    ++line_number;
    const std::string_view row = trim(line);
    if (row.empty()) continue;
    const std::size_t n = split_fields(row, ',', f);
    long long stn = 0, date = 0, hour = 0;
    if (n <= value_column || !digits(f[0], stn) || !digits(f[stamp_column], date) || f[stamp_column].size() != 8) {
      throw failure(Failure::BAD_RECORD, where(name, line_number) + ": not a row of the header's columns");
    }
    const int y = static_cast<int>(date / 10000), m = static_cast<int>(date / 100 % 100), d = static_cast<int>(date % 100);
    const bool hourly = series.resolution == Resolution::HOURLY;
    long long count = 0;
    if (m < 1 || m > 12 || d < 1 || d > textio::days_in_month(y, m) ||
        (hourly && (!digits(f[hour_column], hour) || hour < 1 || hour > 24))) {
      throw failure(Failure::BAD_RECORD, where(name, line_number) + ": date '" + std::string(f[stamp_column]) +
                                             (hourly ? " " + std::string(f[hour_column]) : std::string()) + "'");
    }
    count = textio::days_from_civil(y, m, d);
    count = hourly ? count * 24 + hour : count - 1;
    Tenths value = 0;
    if (!knmi_value(f[value_column], value)) {
      throw failure(Failure::BAD_RECORD, where(name, line_number) + ": " + series.column + " '" +
                                             std::string(f[value_column]) + "' is not a value");
    }
    if (series.values.empty()) {
      station = stn;
      series.id = std::string(f[0]);
      series.first = count;
    } else {
      if (stn != station) {
        throw failure(Failure::BAD_RECORD, where(name, line_number) + ": station " + std::string(f[0]) +
                                               " in a file of station " + series.id);
      }
      if (count <= series.last()) {
        throw failure(Failure::OUT_OF_ORDER, where(name, line_number) + ": " + std::string(f[stamp_column]) +
                                                 (hourly ? " " + std::string(f[hour_column]) : std::string()) +
                                                 " after " + last);
      }
      if (count - series.first >= MAX_SERIES_SLOTS) {
        throw failure(Failure::BAD_RECORD, where(name, line_number) + ": " + std::string(f[stamp_column]) +
                                               " lies more than 1000 years after the first record");
      }
      series.values.resize(static_cast<std::size_t>(count - series.first), MISSING);
    }
    series.values.push_back(value);
    if (hourly) {
      std::snprintf(last, sizeof last, "%08lld %lld", date, hour);
    } else {
      std::snprintf(last, sizeof last, "%08lld", date);
    }
  }
  if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
  if (series.values.empty()) throw failure(Failure::BAD_RECORD, name + ": no records");
}

void read_knmi_file(const std::string& path, StationSeries& series) {
  textio::TextReader reader;
  if (!reader.open(path)) throw failure(Failure::ERROR_OPENING, path);
  read_knmi_file(reader, path, series);
}

}  // namespace stationfile
