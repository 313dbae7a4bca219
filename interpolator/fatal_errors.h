// The ways a pluvo run ends early: each throws textio::FatalError with the
// message and the code, and main turns it into output and an exit status.
#pragma once

#include <string>

#include "run_state.h"

namespace pluvo {

// "Speicherbelegungsfehler ! (<code>)" on standard error.
[[noreturn]] void fatal_alloc_error(int code);
// "Dateilesefehler ! (<code>)" on standard error.
[[noreturn]] void fatal_read_error(int code);
// Any other message, on standard output.
[[noreturn]] void fatal_stop(int code, std::string message);

// Runs `obtain`, which allocates storage, and ends the run with the
// allocation code when that fails (or when a test asks it to fail).
template <class Obtain>
void obtain_storage(const PluvoRun& run, int code, Obtain&& obtain) {
  if (run.fail_allocation_code == code) fatal_alloc_error(code);
  try {
    obtain();
  } catch (const std::bad_alloc&) {
    fatal_alloc_error(code);
  }
}

}  // namespace pluvo
