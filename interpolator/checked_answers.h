// Answers typed at a terminal, checked as they come: an answer the dialogue
// cannot use is asked for again with a one-line hint. Used only when the
// dialogue reads a terminal; answers from a file or a pipe are read as they
// are, unchecked.
#pragma once

#include <string>

#include "run_state.h"

namespace pluvo {

// The same forms of answer as the plain dialogue (a word, the ANETZ word
// with the one character behind it, a line, a real, an integer), taken
// from the lines the user types. Several answers on one line still answer
// several prompts. Asked again:
// - a number prompt answered with an empty line, or with a word that is not
//   wholly a finite number (an integer for the dates);
// - a station file name that cannot be opened for reading (an empty
//   Klima or Sammler name is no file and is accepted).
// A rejected answer discards the rest of its line. At the end of the input
// every remaining parameter keeps its value, as in the plain dialogue.
struct CheckedAnswers {
  explicit CheckedAnswers(PluvoRun& owner) : run(owner) {}

  PluvoRun& run;
  std::string line;  // the line being answered from, its line end included
  std::size_t pos = 0;
  bool ended = false;

  void word(const char* prompt, std::string& answer);
  void station_word(const char* prompt, std::string& answer);
  void station_line(const char* prompt, std::string& answer);
  void real(const char* prompt, double& answer);
  void integer(const char* prompt, int& answer);
  // An integer; a year below 100 is answered with how it is read.
  void year(const char* prompt, int& answer);

 private:
  bool next_line();
  bool take_word(std::string& word);
  bool take_number(const char* prompt, const char* empty_hint, std::string& word);
  void hint(const std::string& text);
};

// False when a file of this name cannot be opened for reading: a directory,
// or a regular file that fails to open. A pipe or device is not tried.
bool can_open_for_reading(const std::string& name);

}  // namespace pluvo
