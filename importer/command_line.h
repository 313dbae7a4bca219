// The command line of stationfile: the output kind, the output file, the
// options and the input files.
#pragma once

#include <string_view>

#include "import_run.h"

namespace stationfile {

enum class InfoRequest { NONE, HELP, VERSION };

// --help, -h or --version as the only argument.
InfoRequest info_request(int argc, const char* const* argv);

// Fills the settings from the arguments (argv[0] is the program name).
// Throws the failure USAGE, naming the argument that is wrong, and
// UNKNOWN_SOURCE for a --source this program does not read.
void parse_command_line(int argc, const char* const* argv, ImportSettings& settings);

// "YYYY-MM-DD" of a date that exists, as days from 1 January 1970; false
// for anything else.
bool parse_iso_date(std::string_view text, long long& days);

}  // namespace stationfile
