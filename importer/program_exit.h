// The process around a stationfile run: the console, and the one place
// where a run's end becomes what is printed last and the exit status.
#pragma once

namespace stationfile {

// Runs stationfile on the process's standard streams and returns the exit
// status. Every failure ends with its message (standard error) and code
// from the failure table; no output file is left behind by a failure.
int run_program(int argc, const char* const* argv);

}  // namespace stationfile
