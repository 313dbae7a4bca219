// Answers from a file or a pipe are read as they come, unchecked: an answer
// that is not wholly what its prompt asks for still runs, but a warning on
// standard error names the prompt, the answer's line and its text, and
// what was taken from it. Nothing that is read changes.
#pragma once

#include <string>

#include "run_state.h"

namespace pluvo {

struct AnswerWarnings {
  bool stuck = false;  // a number did not convert: every later one fails on the same text

  // After a number was read, or failed to be, for `prompt`; `taken` is the
  // value as read when `converted`.
  void after_number(const PluvoRun& run, const char* prompt, bool converted, const std::string& taken);
};

// The prompt's words without its colon, blanks and explanation in brackets.
std::string prompt_name(const char* prompt);

// Values of the dialogue that make the run lose what it measured or
// interpolates: a negative maximum distance (its sign is dropped) and a
// nodata threshold not above 0.
void warn_about_wiping_values(const PluvoRun& run);

}  // namespace pluvo
