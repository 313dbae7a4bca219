// pluvo's command line. Without arguments pluvo runs its dialogue; the only
// arguments it knows ask for its help or its version.
#pragma once

#include "run_state.h"

namespace pluvo {

enum class CommandAction { run_dialogue, show_help, show_version };

struct CommandLine {
  CommandAction action = CommandAction::run_dialogue;
};

// Reads the arguments after the program name. An argument pluvo cannot use
// throws the failure BAD_ARGUMENT (108) with one line for standard error,
// before anything is opened or written, so that a mistyped option never
// starts a dialogue.
CommandLine parse_command_line(int argc, const char* const* argv);

// The whole program on its arguments: the help or the version on the
// console, or a run. Returns the exit code; failures throw
// textio::FatalError as a run does.
int run_command_line(PluvoRun& run, int argc, const char* const* argv);

}  // namespace pluvo
