// The process around a tabsum run: the console, and the one place where a
// run's end becomes what is printed last and the exit status.
#pragma once

namespace tabsum {

// Runs tabsum on the process's standard output and returns the exit status.
// Every failure, storage that cannot be obtained included, ends with its
// message and code from the failure table. A console that cannot be written
// does not stop the run: the output file is completed, and afterwards
// "error writing standard output" goes to standard error (exit 2), unless
// the console was a pipe whose reader has gone, which is no error.
int run_program(int argc, const char* const* argv);

}  // namespace tabsum
