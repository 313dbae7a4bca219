// pluvo's command line for scripts: the run parameters as options, or the
// name of an answers file, and the opt-in rule for rain that the
// interpolation does not reproduce.
//
//   pluvo                       the dialogue on standard input
//   pluvo ANSWERS               the dialogue's answers read from a file
//   pluvo --anetz FILE ...      every parameter as an option, no dialogue
//
// Values are checked strictly, before anything is opened or written: a
// number is the whole value and finite, a date D.M.YYYY or YYYY-MM-DD
// exists and has its year written in full, a maximum distance is not
// negative and a nodata threshold is above 0. The first argument that cannot be used is reported
// in one line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "run_state.h"

namespace pluvo {

enum class ParameterSource {
  dialogue_on_standard_input,
  dialogue_from_answers_file,
  options,
};

struct BatchSettings {
  ParameterSource source = ParameterSource::dialogue_on_standard_input;
  std::string answers_file_name;  // with dialogue_from_answers_file
  // With options: every run parameter, the dialogue's value where an option
  // was left out, the hours 1 and 24 and the dates as given.
  RunParameters params;
  bool keep_unmatched_rain = false;
  int threads = 0;  // --threads; 0: the cores the machine offers
};

// The most threads --threads takes.
constexpr int MAX_THREADS = 256;

// The cores the machine offers (1 when it does not tell), at most MAX_THREADS.
int default_threads();

// Reads the arguments (without the program name). On success returns true
// and fills `settings`; otherwise returns false and sets `message` to the
// line to print on standard error (line end included).
bool parse_batch_arguments(const std::vector<std::string_view>& args, BatchSettings& settings,
                           std::string& message);

// Sets the run up from what the arguments chose: the parameters of the
// options, or the dialogue's input (the answers file, else standard input,
// whose answers are checked when it is a terminal) and the opt-in rules.
// An answers file that cannot be opened ends the run with code 108 before
// anything is written.
void set_up_run(PluvoRun& run, const BatchSettings& settings, bool standard_input_is_terminal);

// Strict conversions of option values; false when the text is not wholly
// such a value. `problem` tells what is wrong.
bool parse_strict_number(std::string_view text, double& value, std::string& problem);
bool parse_strict_date(std::string_view text, int& day, int& month, int& year, std::string& problem);

// What the dialogue leaves when a question is not answered.
RunParameters dialogue_defaults();

// The defaults of the optional numeric options: power 2, no upper limit,
// and otherwise the dialogue's. The maximum distance has none: it is
// required with Klima or Sammler stations.
RunParameters option_defaults();

}  // namespace pluvo
