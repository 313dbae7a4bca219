// pluvo's dialogue on any answers: checked as at a terminal (each answer
// tested, a wrong one asked again after a one-line hint) or read plainly as
// from a file or a pipe (an answer that is not wholly what its prompt asks
// for gets a warning naming its line). Both must come to an end on any
// input, leave the dates in range, and write only whole lines of their own:
// the checked answers no warning about answers and only finite numbers, the
// plain ones at most one warning per number prompt, each naming a line of
// the input.
//
// Input: a mode byte (bit 0: checked), then the answers.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "fuzz_support.h"
#include "parameter_dialogue.h"
#include "run_state.h"

namespace {

constexpr int NUMBER_PROMPTS = 13;  // nodata, six date fields, six reals

int month_length(int month, int year) {
  static const int LENGTH[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : LENGTH[month - 1];
}

std::string read_back(std::FILE* f) {
  std::string text;
  std::rewind(f);
  for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f)) text += static_cast<char>(c);
  return text;
}

// The checked dialogue asks again for a station file that cannot be read:
// the names the seeds give are empty files of the private directory, where
// the dialogue runs; libFuzzer's own files stay where it was started.
struct InPrivateDirectory {
  std::string before;
  InPrivateDirectory() {
    static const bool made = [] {
      for (const char* name : {"anetz.txt", "klima.txt", "sammler.txt", "klima daten.txt", "a.txt"}) {
        fuzz::write_file(fuzz::private_path(name), "");
      }
      return true;
    }();
    (void)made;
    char here[4096];
    if (getcwd(here, sizeof here) == nullptr || chdir(fuzz::private_dir().c_str()) != 0) {
      fuzz::finding("cannot enter the private directory");
    }
    before = here;
  }
  ~InPrivateDirectory() {
    if (chdir(before.c_str()) != 0) std::abort();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ByteSource g(data, size);
  const bool checked = g.flag();
  const std::string answers(g.rest());
  const InPrivateDirectory inside;

  textio::OutputBuffer console(nullptr);
  textio::TextReader input;
  pluvo::PluvoRun run(console, input);
  std::FILE* err = std::tmpfile();
  if (err == nullptr) return 0;
  run.notes.stream = err;
  run.check_answers = checked;
  input.count_lines();
  input.attach_text(answers);
  pluvo::run_parameter_dialogue(run);
  const std::string warnings = read_back(err);
  std::fclose(err);
  console.take_captured();

  const pluvo::RunParameters& p = run.params;
  if (p.start_month < 1 || p.start_month > 12 || p.end_month < 1 || p.end_month > 12) {
    fuzz::finding("a month out of range");
  }
  if (p.end_day < 1 || (p.end_year >= 1 && p.end_day > month_length(p.end_month, p.end_year))) {
    fuzz::finding("an end day out of range");
  }
  std::size_t lines_in = 1;
  for (char c : answers) lines_in += c == '\n' ? 1 : 0;

  int answer_warnings = 0;
  std::size_t at = 0;
  while (at < warnings.size()) {
    const std::size_t end = warnings.find('\n', at);
    if (end == std::string::npos) fuzz::finding("a warning without its line end");
    const std::string line = warnings.substr(at, end - at);
    at = end + 1;
    if (!line.starts_with("pluvo: warning: ")) fuzz::finding("a line that is no warning: " + line);
    if (line.starts_with("pluvo: warning: line ")) {
      ++answer_warnings;
      const unsigned long n = std::strtoul(line.c_str() + 21, nullptr, 10);
      if (n < 1 || n > lines_in) fuzz::finding("a warning names line " + std::to_string(n));
    }
  }
  if (checked) {
    if (answer_warnings > 0) fuzz::finding("a checked answer warned about as unchecked");
    for (double v : {p.nodata, p.power, p.max_distance, p.lower_limit, p.lower_replacement, p.upper_limit,
                     p.upper_replacement}) {
      if (!std::isfinite(v)) fuzz::finding("a checked number that is not finite");
    }
  } else if (answer_warnings > NUMBER_PROMPTS) {
    fuzz::finding("more answer warnings than number prompts");
  }
  return 0;
}
