// pluvo's command line. Without arguments pluvo runs its dialogue; an
// answers file or the run parameters as options run it without one (see
// batch_options.h); --help, -h and --version ask for the help or the version.
#pragma once

#include <string_view>
#include <vector>

#include "fatal_errors.h"
#include "run_state.h"

namespace pluvo {

enum class CommandAction { run, show_help, show_version };

struct CommandLine {
  CommandAction action = CommandAction::run;
  std::vector<std::string_view> run_arguments;  // all but --help, -h, --version
};

// Sorts the arguments after the program name: --help, -h and --version ask
// for the help or the version (the first of them asked for wins); the rest
// are the run's. Whether those can be used is checked before anything is
// shown or run.
CommandLine parse_command_line(int argc, const char* const* argv);

// The whole program on its arguments: the help or the version on the
// console, or a run. An argument pluvo cannot use throws the failure
// BAD_ARGUMENT (108) with one line for standard error, before anything is
// opened or written, so that a mistyped option never starts a dialogue.
// Returns the exit code; failures throw textio::FatalError as a run does.
int run_command_line(PluvoRun& run, int argc, const char* const* argv);

}  // namespace pluvo
