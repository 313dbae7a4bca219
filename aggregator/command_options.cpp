#include "command_options.h"

#include <cerrno>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>

#include "command_line.h"
#include "exit_codes.h"

namespace tabsum {
namespace {

enum class Option { BY, STAMPS, STEP, MIN_VALID, DAY_START, WATER_YEAR_START, STAT, COUNT };

constexpr const char* OPTION_NAMES[] = {"--by",        "--stamps",           "--step", "--min-valid",
                                        "--day-start", "--water-year-start", "--stat"};
static_assert(sizeof(OPTION_NAMES) / sizeof(OPTION_NAMES[0]) == static_cast<int>(Option::COUNT));

[[noreturn]] void bad_value(const char* name, std::string_view value) {
  std::string argument = name;
  argument += " '";
  argument += value;
  argument += "'";
  throw failure(Failure::OPTION_VALUE, argument);
}

// A whole number from `low` to `high`, digits only.
int whole_number(const char* name, std::string_view value, int low, int high) {
  if (value.empty() || value.size() > 3) bad_value(name, value);
  int v = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') bad_value(name, value);
    v = v * 10 + (c - '0');
  }
  if (v < low || v > high) bad_value(name, value);
  return v;
}

// One of `words`; its index.
int one_of(const char* name, std::string_view value, std::initializer_list<const char*> words) {
  int i = 0;
  for (const char* w : words) {
    if (value == w) return i;
    ++i;
  }
  bad_value(name, value);
}

double share(const char* name, const std::string& value) {
  const char* text = value.c_str();
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text, &end);
  if (value.empty() || *end != '\0' || errno != 0 || !(v > 0.0 && v <= 1.0)) bad_value(name, value);
  return v;
}

void set_option(Option option, const std::string& value, PeriodSettings& s) {
  const char* name = OPTION_NAMES[static_cast<int>(option)];
  switch (option) {
    case Option::BY:
      s.period = static_cast<Period>(1 + one_of(name, value, {"day", "month", "year", "water-year"}));
      break;
    case Option::STAMPS:
      s.stamps_at_start = one_of(name, value, {"end", "start"}) == 1;
      break;
    case Option::STEP:
      s.step = whole_number(name, value, 1, 24);
      break;
    case Option::MIN_VALID:
      s.min_valid = share(name, value);
      break;
    case Option::DAY_START:
      s.day_start = whole_number(name, value, 0, 23);
      break;
    case Option::WATER_YEAR_START:
      s.water_year_start = whole_number(name, value, 1, 12);
      break;
    case Option::STAT:
      s.statistic = static_cast<Statistic>(one_of(name, value, {"sum", "mean", "min", "max", "count"}));
      s.statistic_given = true;
      break;
    case Option::COUNT:
      break;
  }
}

}  // namespace

int parse_options(int argc, const char* const* argv, PeriodSettings& settings) {
  bool given[static_cast<int>(Option::COUNT)] = {};
  int i = 1;
  while (i < argc) {
    const std::string_view arg = argv[i];
    if (arg == "--") {
      ++i;
      break;
    }
    int found = -1;
    std::size_t name_length = 0;
    for (int o = 0; o < static_cast<int>(Option::COUNT); ++o) {
      const std::string_view name = OPTION_NAMES[o];
      if (arg == name || (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=')) {
        found = o;
        name_length = name.size();
      }
    }
    if (found < 0) break;
    const char* name = OPTION_NAMES[found];
    std::string value;
    if (arg.size() > name_length) {
      value = arg.substr(name_length + 1);
      ++i;
    } else {
      if (i + 1 >= argc) throw failure(Failure::OPTION_WITHOUT_VALUE, name);
      value = argv[i + 1];
      i += 2;
    }
    if (given[found]) throw failure(Failure::OPTION_TWICE, name);
    given[found] = true;
    set_option(static_cast<Option>(found), value, settings);
  }
  if (settings.period == Period::NONE) {
    for (const Option o : {Option::STAMPS, Option::STEP, Option::DAY_START, Option::WATER_YEAR_START}) {
      if (given[static_cast<int>(o)]) throw failure(Failure::OPTION_WITHOUT_PERIOD, OPTION_NAMES[static_cast<int>(o)]);
    }
  }
  return i;
}

bool parse_period_command_line(int argc, const char* const* argv, AggregationSettings& settings) {
  const int given = argc - 1;
  if (given < 2) return false;
  settings.in_name = argv[1];
  settings.out_name = argv[2];
  settings.intervals = 0;
  settings.headrows = given >= 3 ? convert_int_argument(argv[3]) : -1;
  if (settings.headrows < 0) settings.headrows = -1;
  settings.data_columns_given = given >= 4;
  settings.data_columns = given >= 4 ? convert_int_argument(argv[4]) : 0;
  settings.additional_columns = given >= 5 ? convert_int_argument(argv[5]) : 0;
  return true;
}

}  // namespace tabsum
