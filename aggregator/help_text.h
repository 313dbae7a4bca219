// The text of "tabsum --help".
#pragma once

#include <string>

namespace tabsum {

// The command line, the files, the exit codes and where the manual is.
std::string help_text();

}  // namespace tabsum
