#include "dwd_product_file.h"

#include <array>

#include "calendar.h"
#include "delimited_fields.h"
#include "exit_codes.h"
#include "zip_archive.h"

namespace stationfile {
namespace {

constexpr std::size_t MAX_COLUMNS = 16;

bool all_digits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int digits_value(std::string_view s) {
  int v = 0;
  for (char c : s) v = v * 10 + (c - '0');
  return v;
}

// The stamp as hours (hourly: YYYYMMDDHH, hour 0 to 23) or days (YYYYMMDD).
bool parse_stamp(std::string_view text, Resolution resolution, long long& count) {
  const std::size_t width = resolution == Resolution::HOURLY ? 10 : 8;
  if (text.size() != width || !all_digits(text)) return false;
  const int year = digits_value(text.substr(0, 4));
  const int month = digits_value(text.substr(4, 2));
  const int day = digits_value(text.substr(6, 2));
  if (month < 1 || month > 12 || day < 1 || day > textio::days_in_month(year, month)) return false;
  const long long days = textio::days_from_civil(year, month, day);
  if (resolution == Resolution::DAILY) {
    count = days;
    return true;
  }
  const int hour = digits_value(text.substr(8, 2));
  if (hour > 23) return false;
  count = days * 24 + hour;
  return true;
}

std::string where(const std::string& name, long long line) { return name + " line " + std::to_string(line); }

struct Columns {
  std::size_t id = 0, stamp = 0, value = 0;
};

// The header row names the columns; the parameter decides the resolution.
Columns read_header(std::string_view header, const std::string& name, StationSeries& series) {
  std::array<std::string_view, MAX_COLUMNS> fields;
  const std::size_t n = split_fields(header, ';', fields);
  if (n < 3 || fields[0] != "STATIONS_ID" || fields[1] != "MESS_DATUM") {
    throw failure(Failure::UNKNOWN_SOURCE,
                  name + " (its first line is not that of a German Weather Service product file)");
  }
  Columns c{0, 1, 0};
  for (std::size_t i = 2; i < n; ++i) {
    if (fields[i] == "R1" || fields[i] == "RS" || fields[i] == "RSK") {
      c.value = i;
      series.column = std::string(fields[i]);
      series.resolution = fields[i] == "R1" ? Resolution::HOURLY : Resolution::DAILY;
      return c;
    }
  }
  throw failure(Failure::WRONG_PARAMETER, name + " has no precipitation column (R1, RS or RSK)");
}

}  // namespace

bool parse_tenths(std::string_view field, Tenths& value) {
  if (field == "-999") {
    value = MISSING;
    return true;
  }
  const std::size_t dot = field.find('.');
  const std::string_view whole = field.substr(0, dot);
  const std::string_view fraction = dot == std::string_view::npos ? std::string_view{} : field.substr(dot + 1);
  if (!all_digits(whole) || whole.size() > 8) return false;
  if (dot != std::string_view::npos && (fraction.size() != 1 || !all_digits(fraction))) return false;
  value = digits_value(whole) * 10 + (fraction.empty() ? 0 : fraction[0] - '0');
  return true;
}

void read_dwd_product(textio::TextReader& reader, const std::string& name, StationSeries& series) {
  series.file = name;
  series.values.clear();
  std::string line;
  if (!reader.read_line(line)) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    throw failure(Failure::UNKNOWN_SOURCE, name + " (the file is empty)");
  }
  const Columns columns = read_header(line, name, series);
  std::array<std::string_view, MAX_COLUMNS> fields;
  char last_stamp[12] = "";
  long long line_number = 1;
  int first_number = 0;
  while (reader.read_line(line)) {
    // A failed read ends the line it cut: that line is not the file's.
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    ++line_number;
    const std::string_view row = trim(line);
    if (row.empty()) continue;
    const std::size_t n = split_fields(row, ';', fields);
    if (n <= columns.value) throw failure(Failure::BAD_RECORD, where(name, line_number) + ": too few fields");
    const std::string_view id = fields[columns.id];
    if (!all_digits(id) || id.size() > 7) {
      throw failure(Failure::BAD_RECORD, where(name, line_number) + ": station id '" + std::string(id) + "'");
    }
    const std::string_view stamp_text = fields[columns.stamp];
    long long stamp = 0;
    if (!parse_stamp(stamp_text, series.resolution, stamp)) {
      throw failure(Failure::BAD_RECORD, where(name, line_number) + ": date '" + std::string(stamp_text) + "'");
    }
    Tenths value = 0;
    if (!parse_tenths(fields[columns.value], value)) {
      throw failure(Failure::BAD_RECORD, where(name, line_number) + ": " + series.column + " '" +
                                             std::string(fields[columns.value]) + "' is not a value");
    }
    if (series.values.empty()) {
      series.id = std::string(id);
      if (series.id.size() < 5) series.id.insert(0, 5 - series.id.size(), '0');
      series.first = stamp;
      first_number = digits_value(id);
    } else {
      if (digits_value(id) != first_number) {
        throw failure(Failure::BAD_RECORD, where(name, line_number) + ": station " + std::string(id) +
                                               " in a file of station " + series.id);
      }
      if (stamp <= series.last()) {
        throw failure(Failure::OUT_OF_ORDER,
                      where(name, line_number) + ": " + std::string(stamp_text) + " after " + last_stamp);
      }
      if (stamp - series.first >= MAX_SERIES_SLOTS) {
        throw failure(Failure::BAD_RECORD, where(name, line_number) + ": " + std::string(stamp_text) +
                                               " lies more than 1000 years after the first record");
      }
      series.values.resize(static_cast<std::size_t>(stamp - series.first), MISSING);
    }
    series.values.push_back(value);
    stamp_text.copy(last_stamp, sizeof last_stamp - 1);
    last_stamp[stamp_text.size()] = '\0';
  }
  if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
  if (series.values.empty()) throw failure(Failure::BAD_RECORD, name + ": no records");
}

void read_dwd_product(const std::string& path, StationSeries& series) {
  textio::TextReader reader;
  if (looks_like_zip(path)) {
    std::string archive;
    if (!read_raw_file(path, archive)) throw failure(Failure::ERROR_READING, path);
    std::string member, text;
    if (!unpack_zip_member(archive, path, "produkt_", member, text)) {
      throw failure(Failure::UNKNOWN_SOURCE, path + " (a zip without a product file produkt_*.txt)");
    }
    reader.attach_text(std::move(text));
    read_dwd_product(reader, path + ":" + member, series);
    std::string geography_member;
    if (!unpack_zip_member(archive, path, "Metadaten_Geographie_", geography_member, series.geography)) {
      series.geography.clear();
    }
    return;
  }
  if (!reader.open(path)) throw failure(Failure::ERROR_OPENING, path);
  read_dwd_product(reader, path, series);
}

}  // namespace stationfile
