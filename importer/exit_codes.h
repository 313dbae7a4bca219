// Every way a stationfile run can end: the exit code, and the message with
// its fixed parts. A failure is named from this table only; no exit code or
// message text of a failure stands anywhere else. All messages go to
// standard error, so that standard output holds only what the run reports.
#pragma once

#include <string>
#include <string_view>

#include "fatal_error.h"

namespace stationfile {

enum ExitCode : int {
  EXIT_COMPLETE = 0,
  EXIT_MISTAKE = 1,     // the command line or the input files cannot give the file asked for
  EXIT_FILE_ERROR = 2,  // a file (standard output included) cannot be opened, read or written
};

enum class Failure {
  USAGE,
  UNKNOWN_SOURCE,
  WRONG_PARAMETER,
  BAD_RECORD,
  BAD_ZIP,
  OUT_OF_ORDER,
  NO_COORDINATES,
  BAD_STATION_LIST,
  NO_COMMON_PERIOD,
  PERIOD_OUTSIDE,
  NO_MEMORY,
  ERROR_OPENING,
  SAME_FILE,
  ERROR_READING,
  ERROR_WRITING,
  ERROR_WRITING_CONSOLE,
};

struct FailureRow {
  Failure failure;
  ExitCode code;
  const char* before;  // the message is before + argument + after
  const char* after;
};

inline constexpr FailureRow FAILURE_TABLE[] = {
    {Failure::USAGE, EXIT_MISTAKE, "stationfile: ",
     "\nusage: stationfile anetz|klima|sammler|table -o OUT [options] FILE... (stationfile --help)\n"},
    {Failure::UNKNOWN_SOURCE, EXIT_MISTAKE, "stationfile: unknown source: ", "\n"},
    {Failure::WRONG_PARAMETER, EXIT_MISTAKE, "stationfile: wrong parameter or resolution: ", "\n"},
    {Failure::BAD_RECORD, EXIT_MISTAKE, "stationfile: cannot read ", "\n"},
    {Failure::BAD_ZIP, EXIT_MISTAKE, "stationfile: cannot unpack ", "\n"},
    {Failure::OUT_OF_ORDER, EXIT_MISTAKE, "stationfile: hours stamped out of order: ", "\n"},
    {Failure::NO_COORDINATES, EXIT_MISTAKE, "stationfile: no coordinates for station ", "\n"},
    {Failure::BAD_STATION_LIST, EXIT_MISTAKE, "stationfile: cannot read the station list ", "\n"},
    {Failure::NO_COMMON_PERIOD, EXIT_MISTAKE, "stationfile: no period to write: ", "\n"},
    {Failure::PERIOD_OUTSIDE, EXIT_MISTAKE, "stationfile: period outside a file: ", "\n"},
    {Failure::NO_MEMORY, EXIT_MISTAKE, "stationfile: not enough memory", "\n"},
    {Failure::ERROR_OPENING, EXIT_FILE_ERROR, "stationfile: error opening ", "\n"},
    {Failure::SAME_FILE, EXIT_FILE_ERROR, "stationfile: the output is one of the input files: ", "\n"},
    {Failure::ERROR_READING, EXIT_FILE_ERROR, "stationfile: error reading ", "\n"},
    {Failure::ERROR_WRITING, EXIT_FILE_ERROR, "stationfile: error writing ", "\n"},
    {Failure::ERROR_WRITING_CONSOLE, EXIT_FILE_ERROR, "stationfile: error writing standard output", "\n"},
};

// The rows stand in the order of the enum, one for each failure.
constexpr bool table_in_enum_order() {
  int i = 0;
  for (const FailureRow& row : FAILURE_TABLE) {
    if (static_cast<int>(row.failure) != i++) return false;
  }
  return i == static_cast<int>(Failure::ERROR_WRITING_CONSOLE) + 1;
}
static_assert(table_in_enum_order());

constexpr const FailureRow& failure_row(Failure f) { return FAILURE_TABLE[static_cast<int>(f)]; }

// The failure with its message and exit code, ready to be thrown;
// `argument` names what went wrong where (file, line, station, dates).
inline textio::FatalError failure(Failure f, std::string_view argument = {}) {
  const FailureRow& row = failure_row(f);
  std::string message = row.before;
  message.append(argument);
  message += row.after;
  return textio::FatalError{row.code, std::move(message), true};
}

}  // namespace stationfile
