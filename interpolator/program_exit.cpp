#include "program_exit.h"

#include <cstdio>
#include <memory>
#include <new>

#include "command_line.h"
#include "fatal_error.h"
#include "fatal_errors.h"
#include "platform_io.h"
#include "run_sequence.h"
#include "run_state.h"

namespace pluvo {
namespace {

void put_stderr(const char* text) {
  std::fputs(text, stderr);
  std::fflush(stderr);
}

int report(textio::OutputBuffer& console, const textio::FatalError& failure) {
  console.flush();
  if (failure.to_stderr) {
    put_stderr(failure.message.c_str());
  } else {
    console.put(failure.message);
    console.flush();
  }
  return failure.code;
}

// Storage is short: the message is composed without obtaining any.
int report_allocation(ExitCode code) {
  char text[ALLOCATION_MESSAGE_SIZE];
  allocation_message(code, text);
  put_stderr(text);
  return code;
}

}  // namespace

int run_program(int argc, const char* const* argv, ExitCode fail_allocation, Weighting weighting) {
  textio::platform_ignore_broken_pipe();
  std::unique_ptr<textio::OutputBuffer> console;
  std::unique_ptr<textio::TextReader> answers;
  std::unique_ptr<PluvoRun> run;
  try {
    if (fail_allocation == ALLOC_IO_BUFFERS) throw std::bad_alloc();
    console = std::make_unique<textio::OutputBuffer>(stdout, 1 << 16);
    answers = std::make_unique<textio::TextReader>();
    run = std::make_unique<PluvoRun>(*console, *answers);
  } catch (const std::bad_alloc&) {
    return report_allocation(ALLOC_IO_BUFFERS);
  }
  answers->tie(console.get());
  console->set_interactive(textio::is_terminal(stdout));

  int code = EXIT_COMPLETE;
  try {
    run->seam = AllocationSeam{fail_allocation};
    run->weighting = weighting;
    code = run_command_line(*run, argc, argv);
  } catch (const textio::FatalError& f) {
    // What the run noticed, and where it failed, stand before the message,
    // when there is storage to compose them.
    try {
      write_kept_notes(*run, false);
    } catch (const std::bad_alloc&) {
    }
    code = report(*console, f);
  } catch (const std::bad_alloc&) {
    // Lines and words have no length limit; one too long for the memory
    // is a failure of the line buffer.
    console->flush();
    code = report_allocation(ALLOC_LINE_BUFFER);
  }

  // The output file keeps every row written so far, and it is complete
  // before a failed console is reported.
  if (run->output_file.has_file()) run->output_file.close_file();
  console->flush();
  if (console->write_failed() && !console->reader_gone()) {
    const textio::FatalError console_failure = failure(CONSOLE_WRITE);
    put_stderr(console_failure.message.c_str());
    // A run that failed for a reason of its own keeps that reason's code.
    if (code == EXIT_COMPLETE) code = console_failure.code;
  }
  return code;
}

}  // namespace pluvo
