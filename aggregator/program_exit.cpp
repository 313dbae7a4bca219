#include "program_exit.h"

#include <cstdio>
#include <memory>
#include <new>

#include "exit_codes.h"
#include "platform_io.h"
#include "tabsum_run.h"

namespace tabsum {
namespace {

// Without a console buffer, the message goes straight to its stream.
int report_unbuffered(const FailureRow& row) {
  std::FILE* stream = row.to_stderr ? stderr : stdout;
  std::fputs(row.before, stream);
  std::fflush(stream);
  return row.code;
}

int report(textio::OutputBuffer& console, const textio::FatalError& failure) {
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

// Composes nothing: the text is in the table already.
int report_no_memory(textio::OutputBuffer& console) {
  const FailureRow& row = failure_row(Failure::NO_MEMORY);
  console.flush();
  console.put(row.before);
  console.flush();
  return row.code;
}

}  // namespace

int run_program(int argc, const char* const* argv) {
  textio::platform_ignore_broken_pipe();
  std::unique_ptr<textio::OutputBuffer> console;
  std::unique_ptr<TabsumRun> run;
  try {
    console = std::make_unique<textio::OutputBuffer>(stdout, 1 << 16);
    run = std::make_unique<TabsumRun>(*console);
  } catch (const std::bad_alloc&) {
    return report_unbuffered(failure_row(Failure::NO_MEMORY));
  }
  console->set_interactive(textio::is_terminal(stdout));

  int code = EXIT_COMPLETE;
  try {
    code = run_tabsum(*run, argc, argv);
  } catch (const textio::FatalError& f) {
    code = report(*console, f);
  } catch (const std::bad_alloc&) {
    // Lines have no length limit; one too long for the memory ends here.
    code = report_no_memory(*console);
  }

  // The output file keeps every row written so far, and it is complete
  // before a failed console is reported.
  if (run->output.has_file()) run->output.close_file();
  console->flush();
  if (console->write_failed() && !console->reader_gone()) {
    report_unbuffered(failure_row(Failure::ERROR_WRITING_CONSOLE));
    // A run that failed for a reason of its own keeps that reason's code.
    if (code == EXIT_COMPLETE) code = failure_row(Failure::ERROR_WRITING_CONSOLE).code;
  }
  return code;
}

}  // namespace tabsum
