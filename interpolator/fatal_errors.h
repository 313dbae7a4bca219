// The ways a pluvo run ends early: each throws textio::FatalError with the
// message, stream and code of its row in the code table, and one place
// turns it into output and an exit status.
#pragma once

#include <new>
#include <string>

#include "exit_codes.h"

namespace pluvo {

// "Speicherbelegungsfehler ! (<code>)" on standard error.
[[noreturn]] void fatal_alloc_error(ExitCode code);
// "Dateilesefehler ! (<code>)" on standard error.
[[noreturn]] void fatal_read_error(ExitCode code);
// A command-line argument that cannot be used: its one line (a line end at
// its end is the message's own), on standard error.
[[noreturn]] void fatal_argument_error(const std::string& line);
// Any other failure, with what its message names.
[[noreturn]] void fatal_stop(ExitCode code, const MessageArguments& arguments = {});

// Test seam, handed down from the program to every operation that obtains
// storage: the storage of code `failing` is not obtained, as if memory were
// short (EXIT_COMPLETE: every request is tried).
struct AllocationSeam {
  ExitCode failing = EXIT_COMPLETE;
};

// Runs `obtain`, which allocates storage, and ends the run with the
// allocation code when that fails (or when the seam asks it to fail).
template <class Obtain>
void obtain_storage(const AllocationSeam& seam, ExitCode code, Obtain&& obtain) {
  if (seam.failing == code) fatal_alloc_error(code);
  try {
    obtain();
  } catch (const std::bad_alloc&) {
    fatal_alloc_error(code);
  }
}

}  // namespace pluvo
