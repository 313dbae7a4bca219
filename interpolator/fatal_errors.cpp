#include "fatal_errors.h"

namespace pluvo {

void fatal_alloc_error(ExitCode code) { throw failure(code); }

void fatal_read_error(ExitCode code) { throw failure(code); }

void fatal_stop(ExitCode code, const MessageArguments& arguments) { throw failure(code, arguments); }

}  // namespace pluvo
