// Conversion of tabsum's command-line arguments.
#pragma once

#include "aggregation_settings.h"

namespace tabsum {

inline constexpr const char* BANNER = "aggregating korin table-files\n";

// What a command line asks for besides a run: "--help" or "-h", and
// "--version", each only as the sole argument. Any other command line is a
// run, so files called --help can still be summed with more arguments.
enum class InfoRequest { none, help, version };
InfoRequest info_request(int argc, const char* const* argv);

// A decimal integer: leading white space, an optional sign, the digits that
// follow; no digits give 0. Values beyond int are held at the nearest limit.
int convert_int_argument(const char* text);

// The number of intervals: read as a floating-point number and cut toward
// zero. Above the int range it is INT_MAX, below it INT_MIN; text that is
// not a number and NaN give 0.
int convert_intervals_argument(const char* text);

// Fills the settings from the arguments after the program name. Returns
// false when there are too few of them.
bool parse_command_line(int argc, const char* const* argv, AggregationSettings& settings);

}  // namespace tabsum
