#include "answer_warnings.h"

#include "batch_options.h"

namespace pluvo {
namespace {

bool is_line_blank(char c) { return c != '\n' && textio::is_c_space(static_cast<unsigned char>(c)); }

// The buffered text of the answers from `p` up to the next white space.
std::string word_at(const char* p) {
  std::string word;
  while (*p != '\0' && !textio::is_c_space(static_cast<unsigned char>(*p))) word += *p++;
  return word;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string prompt_name(const char* prompt) {
  std::string name = prompt;
  std::size_t end = name.find(':');
  // " nodata value (e.g. 998: ...": the words in front of the example.
  const std::size_t example = name.find(" (e.g.");
  if (example != std::string::npos && example < end) end = example;
  name = name.substr(0, end);
  const std::size_t first = name.find_first_not_of(" \n");
  const std::size_t last = name.find_last_not_of(" \n");
  return first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
}

void AnswerWarnings::after_number(const PluvoRun& run, const char* prompt, bool converted, const std::string& taken) {
  const textio::TextReader& in = run.dialogue;
  if (stuck) return;
  const char* p = in.unread();
  const std::string where = "line " + std::to_string(in.line_number()) + ", answer to " + quoted(prompt_name(prompt)) + ": ";
  if (!converted) {
    // The end of the answers is no answer; anything else is text where a
    // number is asked.
    while (textio::is_c_space(static_cast<unsigned char>(*p))) ++p;
    if (*p == '\0') return;
    stuck = true;
    warn(run, where + quoted(word_at(p)) +
                  " is not a number: nothing is taken, and this and every later number keep their values from "
                  "before the dialogue");
    return;
  }
  // Text right behind the number, or behind it on its line when it is not
  // the next number.
  std::string rest;
  if (*p != '\0' && !textio::is_c_space(static_cast<unsigned char>(*p))) {
    rest = word_at(p);
  } else {
    while (is_line_blank(*p)) ++p;
    if (*p == '\0' || *p == '\n') return;
    rest = word_at(p);
    double unused = 0.0;
    std::string problem;
    if (parse_strict_number(rest, unused, problem)) return;
  }
  warn(run, where + taken + " is taken and " + quoted(rest) + " is read as the next answer");
}

void warn_about_wiping_values(const PluvoRun& run) {
  const RunParameters& p = run.params;
  if (p.max_distance < 0.0) {
    warn(run, "maximum distance " + short_number(p.max_distance) + " is negative: its sign is dropped and " +
                  short_number(-p.max_distance) + " is used");
  }
  if (!(p.nodata > 0.0)) {
    warn(run, "nodata value " + short_number(p.nodata) + " is not above 0: values up to " +
                  short_number(-p.nodata) + " count as missing, and missing hours are written as " +
                  short_number(-p.nodata - 1.0));
  }
}

}  // namespace pluvo
