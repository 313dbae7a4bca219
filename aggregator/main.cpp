// tabsum: sums the value columns of a table over fixed groups of rows.
#include <cstdio>
#include <new>

#include "fatal_error.h"
#include "tabsum_run.h"

#ifndef _WIN32
#include <unistd.h>
#endif

int main(int argc, char** argv) {
  textio::OutputBuffer console(stdout, 1 << 16);
#ifndef _WIN32
  console.set_interactive(isatty(1) != 0);
#endif
  tabsum::TabsumRun run(console);
  try {
    return tabsum::run_tabsum(run, argc, argv);
  } catch (const textio::FatalError& failure) {
    console.put(failure.message);
    console.flush();
    return failure.code;
  } catch (const std::bad_alloc&) {
    // Lines have no length limit; one too long for the memory ends here.
    console.put("not enough memory\n");
    console.flush();
    return 1;
  }
}
