// A failure that ends the run: the message to print, the stream it goes to
// and the exit code. Thrown where the failure is detected and turned into
// output and an exit status in one place, the program's main.
#pragma once

#include <string>

namespace textio {

struct FatalError {
  int code;
  std::string message;
  bool to_stderr = false;
};

}  // namespace textio
