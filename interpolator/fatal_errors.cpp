#include "fatal_errors.h"

namespace pluvo {

void fatal_alloc_error(ExitCode code) { throw failure(code); }

void fatal_read_error(ExitCode code) { throw failure(code); }

void fatal_argument_error(const std::string& line) {
  throw failure(BAD_ARGUMENT, {.name = line.ends_with('\n') ? line.substr(0, line.size() - 1) : line});
}

void fatal_stop(ExitCode code, const MessageArguments& arguments) { throw failure(code, arguments); }

}  // namespace pluvo
