// pluvo: hourly precipitation for stations that measure only totals, by
// inverse-distance weighting of the hourly stations and scaling to the
// measured totals. All parameters are asked for on the console.
#include <cstdio>
#include <new>

#include "fatal_error.h"
#include "fatal_errors.h"
#include "run_sequence.h"

#ifndef _WIN32
#include <unistd.h>
#endif

int main() {
  textio::OutputBuffer console(stdout, 1 << 16);
  textio::TextReader answers;
  answers.attach_standard_input();
  answers.tie(&console);
#ifndef _WIN32
  console.set_interactive(isatty(1) != 0);
#endif
  pluvo::PluvoRun run(console, answers);
  try {
    try {
      return pluvo::run_pluvo(run);
    } catch (const std::bad_alloc&) {
      // Lines and words have no length limit; one too long for the memory
      // is a failure of the line buffer.
      pluvo::fatal_alloc_error(7);
    }
  } catch (const textio::FatalError& failure) {
    console.flush();
    if (failure.to_stderr) {
      std::fputs(failure.message.c_str(), stderr);
      std::fflush(stderr);
    } else {
      console.put(failure.message);
      console.flush();
    }
    return failure.code;
  }
}
