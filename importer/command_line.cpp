#include "command_line.h"

#include <cstring>
#include <string>

#include "calendar.h"
#include "exit_codes.h"

namespace stationfile {
namespace {

bool parse_kind(std::string_view word, OutputKind& kind) {
  if (word == "anetz") kind = OutputKind::ANETZ;
  else if (word == "klima") kind = OutputKind::KLIMA;
  else if (word == "sammler") kind = OutputKind::SAMMLER;
  else if (word == "table") kind = OutputKind::TABLE;
  else return false;
  return true;
}

bool parse_digits(std::string_view text, long long& value) {
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

// "utm:ZONE" with a zone of 1 to 60.
bool parse_projection(std::string_view text, int& zone) {
  constexpr std::string_view PREFIX = "utm:";
  long long z = 0;
  if (!text.starts_with(PREFIX) || !parse_digits(text.substr(PREFIX.size()), z)) return false;
  if (z < 1 || z > 60) return false;
  zone = static_cast<int>(z);
  return true;
}

// "utc", "utc+H" or "utc-H", H whole hours of 0 to 14.
bool parse_time_base(std::string_view text, int& offset) {
  constexpr std::string_view PREFIX = "utc";
  if (!text.starts_with(PREFIX)) return false;
  text.remove_prefix(PREFIX.size());
  if (text.empty()) {
    offset = 0;
    return true;
  }
  const bool negative = text.front() == '-';
  if (!negative && text.front() != '+') return false;
  long long hours = 0;
  if (!parse_digits(text.substr(1), hours) || hours > 14) return false;
  offset = static_cast<int>(negative ? -hours : hours);
  return true;
}

[[noreturn]] void usage(const std::string& what) { throw failure(Failure::USAGE, what); }

}  // namespace

InfoRequest info_request(int argc, const char* const* argv) {
  if (argc != 2) return InfoRequest::NONE;
  const std::string_view arg = argv[1];
  if (arg == "--help" || arg == "-h") return InfoRequest::HELP;
  if (arg == "--version") return InfoRequest::VERSION;
  return InfoRequest::NONE;
}

bool parse_iso_date(std::string_view text, long long& days) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  long long year = 0, month = 0, day = 0;
  if (!parse_digits(text.substr(0, 4), year) || !parse_digits(text.substr(5, 2), month) ||
      !parse_digits(text.substr(8, 2), day)) {
    return false;
  }
  if (month < 1 || month > 12 || day < 1 || day > textio::days_in_month(year, static_cast<int>(month))) {
    return false;
  }
  days = textio::days_from_civil(year, static_cast<int>(month), static_cast<int>(day));
  return true;
}

void parse_command_line(int argc, const char* const* argv, ImportSettings& settings) {
  if (argc < 2) usage("no output kind given");
  if (!parse_kind(argv[1], settings.kind)) {
    usage(std::string("unknown output kind '") + argv[1] + "' (anetz, klima, sammler or table)");
  }
  for (int i = 2; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg.empty() || arg[0] != '-' || arg == "-") {
      settings.inputs.emplace_back(arg);
      continue;
    }
    std::string name(arg);
    std::string value;
    bool has_value = false;
    if (const auto eq = name.find('='); eq != std::string::npos && name.starts_with("--")) {
      value = name.substr(eq + 1);
      name.resize(eq);
      has_value = true;
    }
    const bool takes_value = name == "-o" || name == "--output" || name == "--stations" || name == "--from" ||
                             name == "--to" || name == "--source" || name == "--projection" ||
                             name == "--time-base";
    if (!takes_value) usage("unknown option '" + std::string(arg) + "'");
    if (!has_value) {
      if (i + 1 >= argc) usage("option " + name + " needs a value");
      value = argv[++i];
    }
    if (name == "-o" || name == "--output") {
      settings.output_path = value;
    } else if (name == "--stations") {
      settings.stations_path = value;
    } else if (name == "--from" || name == "--to") {
      long long days = 0;
      if (!parse_iso_date(value, days)) usage(name + " '" + value + "' is not a date YYYY-MM-DD");
      (name == "--from" ? settings.from_day : settings.to_day) = days;
      (name == "--from" ? settings.from_given : settings.to_given) = true;
    } else if (name == "--time-base") {
      settings.time_base_given = true;
      if (!parse_time_base(value, settings.utc_offset_hours)) {
        usage("--time-base '" + value + "' is not utc, utc+H or utc-H with H of 0 to 14");
      }
    } else if (name == "--source") {
      if (value == "dwd") settings.source = Source::DWD;
      else if (value == "knmi") settings.source = Source::KNMI;
      else if (value == "meteoswiss") settings.source = Source::METEOSWISS;
      else if (value == "table") settings.source = Source::TABLE;
      else throw failure(Failure::UNKNOWN_SOURCE, "'" + value + "' (this version reads: dwd, knmi, meteoswiss, table)");
      settings.source_given = true;
    } else if (value == "lv95" || value == "none") {
      // The last --projection given counts.
      settings.listed_plane = value == "lv95" ? ListedPlane::LV95 : ListedPlane::NONE;
      settings.projection_given = false;
    } else if (!parse_projection(value, settings.utm_zone)) {
      usage("--projection '" + value + "' is not utm:ZONE with a zone of 1 to 60, lv95 or none");
    } else {
      settings.projection_given = true;
      settings.listed_plane = ListedPlane::NOT_ASKED;
    }
  }
  if (settings.output_path.empty()) usage("no output file given (-o OUT)");
  if (settings.inputs.empty()) usage("no input file given");
  if (settings.from_given && settings.to_given && settings.from_day > settings.to_day) {
    usage("--from is after --to");
  }
}

}  // namespace stationfile
