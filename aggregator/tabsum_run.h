// One whole tabsum run, from the banner to "ready..".
#pragma once

#include "aggregation_settings.h"

namespace tabsum {

// Runs tabsum on the arguments (argv[0] is the program name) and returns
// the exit code. A failure throws textio::FatalError with its message and
// code; the rows written until then stay in the output file.
int run_tabsum(TabsumRun& run, int argc, const char* const* argv);

// Ends the run with "error reading <in-name>": a read of the input failed,
// or the input could not return to its start.
[[noreturn]] void fail_reading(const TabsumRun& run);

}  // namespace tabsum
