// The text of "pluvo --help".
#pragma once

#include <string>

namespace pluvo {

// The command line, the dialogue with its defaults, the files, the exit
// codes and where the manual is.
std::string help_text();

}  // namespace pluvo
