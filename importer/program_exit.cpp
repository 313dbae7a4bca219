#include "program_exit.h"

#include <cstdio>
#include <memory>
#include <new>

#include "exit_codes.h"
#include "import_run.h"
#include "platform_io.h"
#include "stationfile_run.h"

namespace stationfile {
namespace {

int report(textio::OutputBuffer& console, const std::string& message, int code) {
  console.flush();
  std::fputs(message.c_str(), stderr);
  std::fflush(stderr);
  return code;
}

}  // namespace

int run_program(int argc, const char* const* argv) {
  textio::platform_ignore_broken_pipe();
  std::unique_ptr<textio::OutputBuffer> console;
  std::unique_ptr<ImportRun> run;
  try {
    console = std::make_unique<textio::OutputBuffer>(stdout, 1 << 16);
    run = std::make_unique<ImportRun>(*console);
  } catch (const std::bad_alloc&) {
    const FailureRow& row = failure_row(Failure::NO_MEMORY);
    std::fputs(row.before, stderr);
    std::fputs(row.after, stderr);
    return row.code;
  }
  console->set_interactive(textio::is_terminal(stdout));

  int code = EXIT_COMPLETE;
  try {
    code = run_stationfile(*run, argc, argv);
  } catch (const textio::FatalError& f) {
    code = report(*console, f.message, f.code);
  } catch (const std::bad_alloc&) {
    const textio::FatalError f = failure(Failure::NO_MEMORY);
    code = report(*console, f.message, f.code);
  }
  // A failure found while the output was written leaves no half file;
  // a device or pipe named as the output is never removed.
  if (run->output.has_file()) {
    run->output.close_file();
    if (code != EXIT_COMPLETE && run->output_is_plain_file) std::remove(run->settings.output_path.c_str());
  }
  console->flush();
  if (console->write_failed() && !console->reader_gone()) {
    const textio::FatalError f = failure(Failure::ERROR_WRITING_CONSOLE);
    std::fputs(f.message.c_str(), stderr);
    if (code == EXIT_COMPLETE) code = f.code;
  }
  return code;
}

}  // namespace stationfile
