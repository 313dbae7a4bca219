#include "batch_options.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <system_error>
#include <thread>

#include "checked_answers.h"
#include "fatal_errors.h"
#include "parameter_dialogue.h"

namespace pluvo {
namespace {

enum class ValueKind { required_file, optional_file, date, number, flag, threads };

struct OptionEntry {
  std::string_view name;
  ValueKind kind;
  std::string RunParameters::*file = nullptr;
  double RunParameters::*number = nullptr;
  bool is_start = false;  // for the two dates
};

constexpr int OPTION_COUNT = 15;

const OptionEntry* option_table() {
  static const OptionEntry table[OPTION_COUNT] = {
      {"--anetz", ValueKind::required_file, &RunParameters::anetz_file_name},
      {"--klima", ValueKind::optional_file, &RunParameters::klima_file_name},
      {"--sammler", ValueKind::optional_file, &RunParameters::sammler_file_name},
      {"--output", ValueKind::required_file, &RunParameters::output_file_name},
      {"--start", ValueKind::date, nullptr, nullptr, true},
      {"--end", ValueKind::date, nullptr, nullptr, false},
      {"--nodata", ValueKind::number, nullptr, &RunParameters::nodata},
      {"--power", ValueKind::number, nullptr, &RunParameters::power},
      {"--max-distance", ValueKind::number, nullptr, &RunParameters::max_distance},
      {"--lower-limit", ValueKind::number, nullptr, &RunParameters::lower_limit},
      {"--lower-replacement", ValueKind::number, nullptr, &RunParameters::lower_replacement},
      {"--upper-limit", ValueKind::number, nullptr, &RunParameters::upper_limit},
      {"--upper-replacement", ValueKind::number, nullptr, &RunParameters::upper_replacement},
      {"--keep-unmatched-rain", ValueKind::flag},
      {"--threads", ValueKind::threads},
  };
  return table;
}

const OptionEntry* find_option(std::string_view name) {
  const OptionEntry* table = option_table();
  for (int i = 0; i < OPTION_COUNT; ++i) {
    if (table[i].name == name) return &table[i];
  }
  return nullptr;
}

std::string in_quotes(std::string_view text) {
  std::string out(1, '\'');
  out.append(text);
  out += '\'';
  return out;
}

constexpr std::string_view DATE_FORMS = " (D.M.YYYY or YYYY-MM-DD)";

std::string see_help() { return "; see 'pluvo --help'\n"; }

std::string value_problem(std::string_view option, std::string_view value, const std::string& problem) {
  return "pluvo: " + std::string(option) + " " + in_quotes(value) + ": " + problem + "\n";
}

bool all_digits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int days_of_month(int month, int year) {
  static const int days[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && is_leap_year(year) ? 29 : days[month];
}

// Sets one run parameter from the value of option `entry`.
bool apply_value(const OptionEntry& entry, std::string_view value, BatchSettings& settings, std::string& message) {
  RunParameters& p = settings.params;
  std::string problem;
  switch (entry.kind) {
    case ValueKind::required_file:
      if (value.empty()) {
        message = value_problem(entry.name, value, "no file name");
        return false;
      }
      p.*entry.file = std::string(value);
      return true;
    case ValueKind::optional_file:  // empty: the group takes no part, as in the dialogue
      p.*entry.file = std::string(value);
      return true;
    case ValueKind::number:
      if (!parse_strict_number(value, p.*entry.number, problem)) {
        message = value_problem(entry.name, value, problem);
        return false;
      }
      // Values that would wipe out every interpolated or measured hour.
      if (entry.number == &RunParameters::max_distance && p.max_distance < 0.0) {
        message = value_problem(entry.name, value, "a distance cannot be negative");
        return false;
      }
      if (entry.number == &RunParameters::nodata && !(p.nodata > 0.0)) {
        message = value_problem(entry.name, value, "must be above 0 (values not above minus it are missing)");
        return false;
      }
      return true;
    case ValueKind::date: {
      int& day = entry.is_start ? p.start_day : p.end_day;
      int& month = entry.is_start ? p.start_month : p.end_month;
      int& year = entry.is_start ? p.start_year : p.end_year;
      if (!parse_strict_date(value, day, month, year, problem)) {
        message = value_problem(entry.name, value, problem);
        return false;
      }
      return true;
    }
    case ValueKind::flag:
      settings.keep_unmatched_rain = true;
      return true;
    case ValueKind::threads:
      if (!all_digits(value) || value.size() > 4 || std::stoi(std::string(value)) < 1 ||
          std::stoi(std::string(value)) > MAX_THREADS) {
        message = value_problem(entry.name, value, "not a whole number from 1 to " + std::to_string(MAX_THREADS));
        return false;
      }
      settings.threads = std::stoi(std::string(value));
      return true;
  }
  return false;
}

}  // namespace

RunParameters dialogue_defaults() {
  RunParameters p;
  p.start_hour = 1;
  return p;
}

RunParameters option_defaults() {
  RunParameters p = dialogue_defaults();
  p.power = 2.0;
  // No upper limit: no estimate is above it.
  p.upper_limit = std::numeric_limits<double>::infinity();
  return p;
}

bool parse_strict_number(std::string_view text, double& value, std::string& problem) {
  std::string_view digits = text;
  // from_chars takes no plus sign; one in front of a number is accepted.
  if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-' && digits[1] != '+') digits.remove_prefix(1);
  double parsed = 0.0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, parsed, std::chars_format::general);
  if (digits.empty() || stop != end || error == std::errc::invalid_argument) {
    problem = "not a number";
    return false;
  }
  if (error == std::errc::result_out_of_range) {
    problem = "out of range";
    return false;
  }
  if (!std::isfinite(parsed)) {
    problem = "not a finite number";
    return false;
  }
  value = parsed;
  return true;
}

bool parse_strict_date(std::string_view text, int& day, int& month, int& year, std::string& problem) {
  problem = "not a valid date" + std::string(DATE_FORMS);
  // D.M.YYYY, or YYYY-MM-DD as national data services write it.
  const bool iso = text.find('.') == std::string_view::npos;
  const char separator = iso ? '-' : '.';
  const std::size_t first_dot = text.find(separator);
  if (first_dot == std::string_view::npos) return false;
  const std::size_t second_dot = text.find(separator, first_dot + 1);
  if (second_dot == std::string_view::npos) return false;
  const std::string_view parts[3] = {text.substr(0, first_dot),
                                     text.substr(first_dot + 1, second_dot - first_dot - 1),
                                     text.substr(second_dot + 1)};
  int fields[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    if (!all_digits(parts[i])) return false;
    const auto [stop, error] = std::from_chars(parts[i].data(), parts[i].data() + parts[i].size(), fields[i]);
    if (error != std::errc()) return false;  // beyond the range of int
  }
  const int d = iso ? fields[2] : fields[0];
  const int m = fields[1];
  const int y = iso ? fields[0] : fields[2];
  if (y < 100) {
    problem = "write the year in full" + std::string(DATE_FORMS);
    return false;
  }
  if (m < 1 || m > 12 || d < 1 || d > days_of_month(m, y)) return false;
  day = d;
  month = m;
  year = y;
  problem.clear();
  return true;
}

bool parse_batch_arguments(const std::vector<std::string_view>& args, BatchSettings& settings,
                           std::string& message) {
  settings = BatchSettings{};
  settings.params = option_defaults();
  bool given[OPTION_COUNT] = {};
  bool any_parameter = false;
  bool options_ended = false;
  bool have_answers_file = false;
  const OptionEntry* table = option_table();

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (!options_ended && arg == "--") {
      options_ended = true;
      continue;
    }
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      if (have_answers_file) {
        message = "pluvo: unexpected argument " + in_quotes(arg) + see_help();
        return false;
      }
      settings.answers_file_name = std::string(arg);
      have_answers_file = true;
      continue;
    }
    const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string_view::npos;
    const std::string_view name = arg.substr(0, equals);
    const OptionEntry* entry = find_option(name);
    if (entry == nullptr) {
      message = "pluvo: unknown option " + in_quotes(arg) + see_help();
      return false;
    }
    const int index = static_cast<int>(entry - table);
    if (given[index]) {
      message = "pluvo: " + std::string(name) + " given twice\n";
      return false;
    }
    given[index] = true;
    std::string_view value;
    if (entry->kind == ValueKind::flag) {
      if (equals != std::string_view::npos) {
        message = value_problem(name, arg.substr(equals + 1), "takes no value");
        return false;
      }
    } else if (equals != std::string_view::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      message = "pluvo: " + std::string(name) + " needs a value\n";
      return false;
    }
    if (!apply_value(*entry, value, settings, message)) return false;
    if (entry->kind != ValueKind::flag && entry->kind != ValueKind::threads) any_parameter = true;
  }

  if (!any_parameter) {
    settings.source = have_answers_file ? ParameterSource::dialogue_from_answers_file
                                        : ParameterSource::dialogue_on_standard_input;
    return true;
  }
  if (have_answers_file) {
    message = "pluvo: answers file " + in_quotes(settings.answers_file_name) + ": not together with options\n";
    return false;
  }
  for (int i = 0; i < OPTION_COUNT; ++i) {
    const bool required = table[i].kind == ValueKind::required_file || table[i].kind == ValueKind::date;
    if (required && !given[i]) {
      message = "pluvo: " + std::string(table[i].name) + " is required\n";
      return false;
    }
  }
  const auto given_option = [&](std::string_view name) { return given[find_option(name) - table]; };
  // Without a maximum distance no source is in reach of any station.
  const RunParameters& p = settings.params;
  if ((!p.klima_file_name.empty() || !p.sammler_file_name.empty()) && !given_option("--max-distance")) {
    message = "pluvo: --max-distance is required with --klima or --sammler\n";
    return false;
  }
  if (given_option("--upper-replacement") && !given_option("--upper-limit")) {
    message = "pluvo: --upper-replacement needs --upper-limit\n";
    return false;
  }
  settings.source = ParameterSource::options;
  return true;
}

int default_threads() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores < MAX_THREADS ? cores : MAX_THREADS);
}

void set_up_run(PluvoRun& run, const BatchSettings& settings, bool standard_input_is_terminal) {
  run.keep_unmatched_rain = settings.keep_unmatched_rain;
  run.threads = settings.threads > 0 ? settings.threads : default_threads();
  std::error_code unused;
  switch (settings.source) {
    case ParameterSource::options:
      run.params = settings.params;
      run.parameters_from_options = true;
      break;
    case ParameterSource::dialogue_from_answers_file:
      // Warnings about the answers name their lines.
      run.dialogue.count_lines();
      if (std::filesystem::is_directory(settings.answers_file_name, unused) ||
          !run.dialogue.open(settings.answers_file_name)) {
        fatal_argument_error("pluvo: answers file " + in_quotes(settings.answers_file_name) +
                             ": cannot be opened for reading\n");
      }
      break;
    case ParameterSource::dialogue_on_standard_input:
      run.dialogue.count_lines();
      run.dialogue.attach_standard_input();
      run.check_answers = standard_input_is_terminal;
      break;
  }
}

}  // namespace pluvo
