#include "parameter_dialogue.h"

namespace pluvo {
namespace {

// A file name ends at a NUL byte, as it would for the system.
void keep_up_to_nul(std::string& name) {
  const std::size_t nul = name.find('\0');
  if (nul != std::string::npos) name.resize(nul);
}

void ask_word(PluvoRun& run, const char* prompt, std::string& answer) {
  run.console.put(prompt);
  std::string word;
  if (run.dialogue.scan_word(word) != textio::SCAN_OK) return;
  keep_up_to_nul(word);
  answer = std::move(word);
}

// A whole line, blanks included; the line end is consumed and not kept.
void ask_line(PluvoRun& run, const char* prompt, std::string& answer) {
  run.console.put(prompt);
  std::string line;
  if (!run.dialogue.read_line(line)) return;
  if (!line.empty() && line.back() == '\n') line.pop_back();
  keep_up_to_nul(line);
  answer = std::move(line);
}

void ask_real(PluvoRun& run, const char* prompt, double& answer) {
  run.console.put(prompt);
  run.dialogue.scan_double(answer);
}

void ask_integer(PluvoRun& run, const char* prompt, int& answer) {
  run.console.put(prompt);
  run.dialogue.scan_int(answer);
}

void hold_month(int& month) {
  if (month < 1) month = 1;
  if (month > 12) month = 12;
}

void hold_day(int& day, int month_length) {
  if (day < 1) day = 1;
  if (day > month_length) day = month_length;
}

}  // namespace

bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

void bring_dates_into_range(RunParameters& p, std::array<int, 13>& days_in_month) {
  if (p.start_year < 100) p.start_year += 1900;
  if (p.end_year < 100) p.end_year += 1900;
  hold_month(p.start_month);
  hold_month(p.end_month);
  // The February of the end year serves both dates.
  days_in_month[2] = is_leap_year(p.end_year) ? 29 : 28;
  hold_day(p.end_day, days_in_month[p.end_month]);
  hold_day(p.start_day, days_in_month[p.start_month]);
}

void run_parameter_dialogue(PluvoRun& run) {
  RunParameters& p = run.params;
  ask_word(run, "hourly data         : ", p.anetz_file_name);
  run.dialogue.get_char();  // normally the line end behind the word
  ask_line(run, "konventional data (2 or 3 values a day): ", p.klima_file_name);
  ask_line(run, "daily sums (e.g. of prec.): ", p.sammler_file_name);
  ask_word(run, "output file: ", p.output_file_name);
  ask_real(run,
           " nodata value (e.g. 998: all values <-998 or > 998 will be interpreted as nodata values)\n",
           p.nodata);
  p.start_hour = 1;
  ask_integer(run, "starting day   : ", p.start_day);
  ask_integer(run, "staring month  : ", p.start_month);
  ask_integer(run, "staring year   : ", p.start_year);
  p.end_hour = 24;
  ask_integer(run, "end day   : ", p.end_day);
  ask_integer(run, "end month : ", p.end_month);
  ask_integer(run, "end year  : ", p.end_year);
  ask_real(run, "weighting of the inverse distance (power) : ", p.power);
  ask_real(run, "maximum distance of e station to the interpolation cell: ", p.max_distance);
  ask_real(run, "lower limit of values: ", p.lower_limit);
  ask_real(run, "values below replacing with...: ", p.lower_replacement);
  ask_real(run, "upper limit: ", p.upper_limit);
  ask_real(run, "values grater than upper limit replacing with: ", p.upper_replacement);
  bring_dates_into_range(p, run.days_in_month);
}

}  // namespace pluvo
