#include "dwd_station_list.h"

#include <array>
#include <string_view>

#include "exit_codes.h"
#include "number_scan.h"

namespace stationfile {
namespace {

// The first `n` words of a line, split at blanks and tabs; the count found.
std::size_t leading_words(std::string_view line, std::array<std::string_view, 6>& words) {
  std::size_t n = 0;
  std::size_t i = 0;
  while (n < words.size()) {
    while (i < line.size() && textio::is_c_space(static_cast<unsigned char>(line[i]))) ++i;
    if (i == line.size()) break;
    const std::size_t start = i;
    while (i < line.size() && !textio::is_c_space(static_cast<unsigned char>(line[i]))) ++i;
    words[n++] = line.substr(start, i - start);
  }
  return n;
}

bool whole_number(std::string_view word, double& value) {
  if (word.empty() || textio::decimal_prefix_length(word) != word.size()) return false;
  value = textio::decimal_prefix_value(word);
  return true;
}

}  // namespace

void read_dwd_station_list(textio::TextReader& reader, const std::string& name, std::vector<StationPlace>& places) {
  std::string line;
  if (!reader.read_line(line) || !line.starts_with("Stations_id")) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    throw failure(Failure::BAD_STATION_LIST, name + " (its first line is not that of a station list)");
  }
  long long line_number = 1;
  std::array<std::string_view, 6> words;
  while (reader.read_line(line)) {
    if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
    ++line_number;
    const std::size_t n = leading_words(line, words);
    if (n == 0 || words[0].starts_with("---")) continue;
    StationPlace place;
    double ignored = 0;
    const bool ok = n == words.size() && whole_number(words[0], ignored) && whole_number(words[3], place.height_m) &&
                    whole_number(words[4], place.latitude) && whole_number(words[5], place.longitude) &&
                    place.latitude >= -90 && place.latitude <= 90 && place.longitude >= -180 &&
                    place.longitude <= 180;
    if (!ok) throw failure(Failure::BAD_STATION_LIST, name + " line " + std::to_string(line_number));
    place.id = std::string(words[0]);
    if (place.id.size() < 5) place.id.insert(0, 5 - place.id.size(), '0');
    places.push_back(std::move(place));
  }
  if (reader.read_failed()) throw failure(Failure::ERROR_READING, name);
}

void read_dwd_station_list(const std::string& path, std::vector<StationPlace>& places) {
  textio::TextReader reader;
  if (!reader.open(path)) throw failure(Failure::ERROR_OPENING, path);
  read_dwd_station_list(reader, path, places);
}

}  // namespace stationfile
