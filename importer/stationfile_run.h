// One whole stationfile run, from the command line to the report.
#pragma once

#include "import_run.h"

namespace stationfile {

// Runs stationfile on the arguments (argv[0] is the program name) and
// returns the exit code. A failure throws textio::FatalError with its
// message and code; every input is read and checked before the output is
// opened, so a mistake in the inputs leaves no file behind.
int run_stationfile(ImportRun& run, int argc, const char* const* argv);

}  // namespace stationfile
