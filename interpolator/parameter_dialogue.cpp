#include "parameter_dialogue.h"

#include "answer_warnings.h"
#include "checked_answers.h"
#include "dialogue_prompts.h"

namespace pluvo {
namespace {

// Answers read as they come, from a file, a pipe or a terminal: an answer
// that does not convert leaves its parameter unchanged.
struct PlainAnswers {
  PluvoRun& run;
  AnswerWarnings warnings{};

  void word(const char* prompt, std::string& answer) {
    run.console.put(prompt);
    std::string word;
    if (run.dialogue.scan_word(word) != textio::SCAN_OK) return;
    keep_up_to_nul(word);
    answer = std::move(word);
  }
  // The ANETZ file: a word, then exactly one character is discarded
  // (normally the line end behind the word).
  void station_word(const char* prompt, std::string& answer) {
    word(prompt, answer);
    run.dialogue.get_char();
  }
  // A whole line, blanks included; the line end is consumed and not kept.
  void station_line(const char* prompt, std::string& answer) {
    run.console.put(prompt);
    std::string line;
    if (!run.dialogue.read_line(line)) return;
    if (!line.empty() && line.back() == '\n') line.pop_back();
    keep_up_to_nul(line);
    answer = std::move(line);
  }
  void real(const char* prompt, double& answer) {
    run.console.put(prompt);
    const bool converted = run.dialogue.scan_double(answer) == textio::SCAN_OK;
    warnings.after_number(run, prompt, converted, converted ? short_number(answer) : std::string());
  }
  void integer(const char* prompt, int& answer) {
    run.console.put(prompt);
    const bool converted = run.dialogue.scan_int(answer) == textio::SCAN_OK;
    warnings.after_number(run, prompt, converted, converted ? std::to_string(answer) : std::string());
  }
  void year(const char* prompt, int& answer) { integer(prompt, answer); }
};

template <class Answers>
void ask_every_parameter(PluvoRun& run, Answers& ask) {
  RunParameters& p = run.params;
  ask.station_word(PROMPT_ANETZ, p.anetz_file_name);
  ask.station_line(PROMPT_KLIMA, p.klima_file_name);
  ask.station_line(PROMPT_SAMMLER, p.sammler_file_name);
  ask.word(PROMPT_OUTPUT, p.output_file_name);
  ask.real(PROMPT_NODATA, p.nodata);
  p.start_hour = 1;
  ask.integer(PROMPT_START_DAY, p.start_day);
  ask.integer(PROMPT_START_MONTH, p.start_month);
  ask.year(PROMPT_START_YEAR, p.start_year);
  ask.integer(PROMPT_END_DAY, p.end_day);
  ask.integer(PROMPT_END_MONTH, p.end_month);
  ask.year(PROMPT_END_YEAR, p.end_year);
  ask.real(PROMPT_POWER, p.power);
  ask.real(PROMPT_MAX_DISTANCE, p.max_distance);
  ask.real(PROMPT_LOWER_LIMIT, p.lower_limit);
  ask.real(PROMPT_LOWER_REPLACEMENT, p.lower_replacement);
  ask.real(PROMPT_UPPER_LIMIT, p.upper_limit);
  ask.real(PROMPT_UPPER_REPLACEMENT, p.upper_replacement);
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

void keep_up_to_nul(std::string& name) {
  const std::size_t nul = name.find('\0');
  if (nul != std::string::npos) name.resize(nul);
}

bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

void bring_dates_into_range(RunParameters& p) {
  std::array<int, 13> days_in_month{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
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
  if (run.check_answers) {
    CheckedAnswers ask(run);
    ask_every_parameter(run, ask);
  } else {
    PlainAnswers ask{run};
    ask_every_parameter(run, ask);
  }
  bring_dates_into_range(run.params);
  warn_about_wiping_values(run);
}

}  // namespace pluvo
