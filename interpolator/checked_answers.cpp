#include "checked_answers.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#include "batch_options.h"
#include "number_scan.h"
#include "parameter_dialogue.h"

namespace pluvo {
namespace {

bool is_line_blank(char c) { return c != '\n' && textio::is_c_space(static_cast<unsigned char>(c)); }

bool parse_whole_int(const std::string& word, int& value) {
  const char* begin = word.data();
  const char* end = begin + word.size();
  if (begin != end && *begin == '+' && end - begin > 1 && begin[1] != '-') ++begin;
  int parsed = 0;
  const auto [stop, error] = std::from_chars(begin, end, parsed);
  if (begin == end || stop != end || error != std::errc()) return false;
  value = parsed;
  return true;
}

}  // namespace

bool can_open_for_reading(const std::string& name) {
  if (name.empty()) return false;
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(name, error);
  if (std::filesystem::is_directory(status)) return false;
  // A pipe or a device is not opened to try: that could wait for a writer
  // or take input away from the real reading.
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return true;
  textio::TextReader probe;
  return probe.open(name);
}

bool CheckedAnswers::next_line() {
  pos = 0;
  if (ended || !run.dialogue.read_line(line)) {
    ended = true;
    line.clear();
    return false;
  }
  return true;
}

void CheckedAnswers::hint(const std::string& text) { run.console.put(text); }

// A word as "%s" takes it: white space, line ends included, is passed over.
bool CheckedAnswers::take_word(std::string& word) {
  for (;;) {
    while (pos < line.size() && textio::is_c_space(static_cast<unsigned char>(line[pos]))) ++pos;
    if (pos < line.size()) break;
    if (!next_line()) return false;
  }
  const std::size_t start = pos;
  while (pos < line.size() && !textio::is_c_space(static_cast<unsigned char>(line[pos]))) ++pos;
  word = line.substr(start, pos - start);
  return true;
}

void CheckedAnswers::word(const char* prompt, std::string& answer) {
  run.console.put(prompt);
  std::string taken;
  if (!take_word(taken)) return;
  keep_up_to_nul(taken);
  answer = std::move(taken);
}

void CheckedAnswers::station_word(const char* prompt, std::string& answer) {
  for (;;) {
    run.console.put(prompt);
    std::string taken;
    if (!take_word(taken)) return;
    keep_up_to_nul(taken);
    answer = taken;
    // The one character behind the word, normally its line end.
    if (pos < line.size() || next_line()) ++pos;
    if (can_open_for_reading(answer)) return;
    hint("cannot open '" + answer + "' for reading; please type the name again\n");
    pos = line.size();
  }
}

void CheckedAnswers::station_line(const char* prompt, std::string& answer) {
  for (;;) {
    run.console.put(prompt);
    if (pos >= line.size() && !next_line()) return;
    std::string taken = line.substr(pos);
    pos = line.size();
    if (!taken.empty() && taken.back() == '\n') taken.pop_back();
    keep_up_to_nul(taken);
    answer = taken;
    if (answer.empty() || can_open_for_reading(answer)) return;
    hint("cannot open '" + answer + "' for reading; please type the name again (an empty line: none)\n");
  }
}

// The next word on the line for a number prompt; an empty line is no
// answer. The rest of the line an earlier answer came from is passed over
// first. False at the end of the input.
bool CheckedAnswers::take_number(const char* prompt, const char* empty_hint, std::string& word) {
  bool fresh = false;
  for (;;) {
    while (pos < line.size() && is_line_blank(line[pos])) ++pos;
    if (pos < line.size() && line[pos] != '\n') break;
    if (fresh) {
      hint(empty_hint);
      run.console.put(prompt);
    }
    if (!next_line()) return false;
    fresh = true;
  }
  const std::size_t start = pos;
  while (pos < line.size() && !textio::is_c_space(static_cast<unsigned char>(line[pos]))) ++pos;
  word = line.substr(start, pos - start);
  return true;
}

void CheckedAnswers::real(const char* prompt, double& answer) {
  run.console.put(prompt);
  for (;;) {
    std::string taken;
    if (!take_number(prompt, "no answer; please type a number such as 2.5\n", taken)) return;
    std::string problem;
    if (parse_strict_number(taken, answer, problem)) return;
    hint("'" + taken + "' is " + problem + "; please type a number such as 2.5\n");
    pos = line.size();
    run.console.put(prompt);
  }
}

void CheckedAnswers::integer(const char* prompt, int& answer) {
  run.console.put(prompt);
  for (;;) {
    std::string taken;
    if (!take_number(prompt, "no answer; please type a whole number\n", taken)) return;
    if (parse_whole_int(taken, answer)) return;
    hint("'" + taken + "' is not a whole number; please type it again\n");
    pos = line.size();
    run.console.put(prompt);
  }
}

void CheckedAnswers::year(const char* prompt, int& answer) {
  const int before = answer;
  integer(prompt, answer);
  if (answer == before && ended) return;
  if (answer < 100) hint(std::to_string(answer) + " is read as " + std::to_string(answer + 1900) + "\n");
}

}  // namespace pluvo
