// The process around a tabsum run: the console, and the one place where a
// run's end becomes what is printed last and the exit status.
#pragma once

namespace tabsum {

// Runs tabsum on the process's standard output and returns the exit status.
// Every failure, storage that cannot be obtained included, ends with its
// message and code from the failure table.
int run_program(int argc, const char* const* argv);

}  // namespace tabsum
