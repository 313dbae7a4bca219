// The process around a pluvo run: the console, the answers on standard
// input, and the one place where a run's end becomes what is printed last
// and the exit status.
#pragma once

#include "exit_codes.h"
#include "run_state.h"

namespace pluvo {

// Runs pluvo on its arguments (argv[0] is the program name) and the
// process's console, and returns the exit status. Every
// failure, storage that cannot be obtained included, ends with its message,
// stream and code from the code table. A console that cannot be written
// does not stop the run: the output file is completed, and afterwards
// "Fehler beim Schreiben der Standardausgabe" goes to standard error (205),
// unless the console was a pipe whose reader has gone, which is no error.
// The arguments choose the dialogue, an answers file or options; one that
// cannot be used ends the run before anything is opened or written.
// `fail_allocation` makes the storage of that code fail (tests only);
// `weighting` plain interpolates in the plain form (for comparison).
int run_program(int argc, const char* const* argv, ExitCode fail_allocation = EXIT_COMPLETE,
                Weighting weighting = Weighting::fastest);

}  // namespace pluvo
