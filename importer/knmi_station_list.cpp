#include "knmi_station_list.h"

#include <map>
#include <string_view>

#include "exit_codes.h"
#include "number_scan.h"

namespace stationfile {
namespace {

// A reader of just the JSON these lists use: objects, strings without
// escapes beyond \" and \\, numbers, true, false, null, and arrays skipped.
struct Json {
  std::string_view text;
  std::size_t at = 0;
  const std::string& name;

  [[noreturn]] void fail() const {
    throw failure(Failure::BAD_STATION_LIST, name + " (not the JSON of a station list at byte " + std::to_string(at) + ")");
  }
  void space() {
    while (at < text.size() && textio::is_c_space(static_cast<unsigned char>(text[at]))) ++at;
  }
  bool take(char c) {
    space();
    if (at < text.size() && text[at] == c) {
      ++at;
      return true;
    }
    return false;
  }
  std::string string() {
    if (!take('"')) fail();
    std::string s;
    while (at < text.size() && text[at] != '"') {
      if (text[at] == '\\') ++at;
      if (at < text.size()) s += text[at++];
    }
    if (!take('"')) fail();
    return s;
  }
  // A number, or false for null, true, false and strings (skipped).
  bool number(double& v) {
    space();
    if (at < text.size() && text[at] == '"') {
      string();
      return false;
    }
    for (std::string_view word : {"null", "true", "false"}) {
      if (text.substr(at).starts_with(word)) {
        at += word.size();
        return false;
      }
    }
    const std::size_t n = textio::decimal_prefix_length(text.substr(at));
    if (n == 0) fail();
    v = textio::decimal_prefix_value(text.substr(at, n));
    at += n;
    return true;
  }
  void skip_value() {
    space();
    if (take('{')) {
      if (take('}')) return;
      do {
        string();
        if (!take(':')) fail();
        skip_value();
      } while (take(','));
      if (!take('}')) fail();
    } else if (take('[')) {
      if (take(']')) return;
      do skip_value();
      while (take(','));
      if (!take(']')) fail();
    } else {
      double ignored = 0;
      number(ignored);
    }
  }
  // An object of station number to number.
  void numbers(std::map<std::string, double>& out) {
    if (!take('{')) fail();
    if (take('}')) return;
    do {
      std::string key = string();
      if (!take(':')) fail();
      double v = 0;
      if (number(v)) out[key] = v;
    } while (take(','));
    if (!take('}')) fail();
  }
};

}  // namespace

void read_knmi_station_list(const std::string& text, const std::string& name, std::vector<StationPlace>& places) {
  Json json{text, 0, name};
  std::map<std::string, double> lon, lat, altitude;
  if (!json.take('{')) json.fail();
  if (!json.take('}')) {
    do {
      const std::string key = json.string();
      if (!json.take(':')) json.fail();
      if (key == "lon") json.numbers(lon);
      else if (key == "lat") json.numbers(lat);
      else if (key == "altitude") json.numbers(altitude);
      else json.skip_value();
    } while (json.take(','));
    if (!json.take('}')) json.fail();
  }
  for (const auto& [id, longitude] : lon) {
    const auto la = lat.find(id);
    const auto al = altitude.find(id);
    if (la == lat.end() || al == altitude.end()) continue;
    if (la->second < -90 || la->second > 90 || longitude < -180 || longitude > 180) continue;
    StationPlace p;
    p.id = id;
    p.longitude = longitude;
    p.latitude = la->second;
    p.height_m = al->second;
    places.push_back(std::move(p));
  }
}

}  // namespace stationfile
