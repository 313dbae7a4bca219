// Every way a tabsum run can end: the exit code, the stream of the message
// and the message itself. The code names a failure from this table only;
// no exit code or message text of a failure stands anywhere else.
#pragma once

#include <string>
#include <string_view>

#include "fatal_error.h"

namespace tabsum {

enum ExitCode : int {
  EXIT_COMPLETE = 0,    // "ready.."
  EXIT_BAD_INPUT = 1,   // usage, arguments, a table without data, storage
  EXIT_FILE_ERROR = 2,  // a file (standard output included) cannot be opened, read or written
};

enum class Failure {
  USAGE,
  NEGATIVE_COLUMNS,
  INTERVALS_BELOW_TWO,
  NO_DATA_LINE,
  NO_VALUE_COLUMN,
  NO_MEMORY_FOR_COLUMNS,
  NO_MEMORY,
  ERROR_OPENING,
  SAME_FILE,
  ERROR_READING,
  ERROR_WRITING,
  PERIOD_USAGE,
  OPTION_VALUE,
  OPTION_WITHOUT_VALUE,
  OPTION_TWICE,
  OPTION_WITHOUT_PERIOD,
  STAMP_NOT_A_DATE,
  ROWS_OUT_OF_ORDER,
  STEP_UNKNOWN,
  ERROR_WRITING_CONSOLE,
};

struct FailureRow {
  Failure failure;
  ExitCode code;
  bool to_stderr;      // else standard output, after what the run printed
  const char* before;  // the message is before + argument + after
  const char* after;
};

inline constexpr FailureRow FAILURE_TABLE[] = {
    {Failure::USAGE, EXIT_BAD_INPUT, false,
     "usage: tabsum <in-name> <out-name> <number of intervals> [<headrows{def=auto}>] "
     "[<data columns{def=auto}>] [<additional columns{def=0}>]\n\n",
     ""},
    {Failure::NEGATIVE_COLUMNS, EXIT_BAD_INPUT, false, "number of columns must not be negative\n", ""},
    {Failure::INTERVALS_BELOW_TWO, EXIT_BAD_INPUT, false, "number of intervals has to be greater than 1!\n", ""},
    {Failure::NO_DATA_LINE, EXIT_BAD_INPUT, false,
     "no valid row found for analysing the columns (first row that starts with a number)\n", ""},
    // Raised before the output is opened: an existing output file stays as it is.
    {Failure::NO_VALUE_COLUMN, EXIT_BAD_INPUT, false, "no value column found in ",
     ": fields must be separated by blanks or tabs\n"},
    {Failure::NO_MEMORY_FOR_COLUMNS, EXIT_BAD_INPUT, false, "not enough memory for ", " columns\n"},
    {Failure::NO_MEMORY, EXIT_BAD_INPUT, false, "not enough memory\n", ""},
    {Failure::ERROR_OPENING, EXIT_FILE_ERROR, false, "error opening ", "\n"},
    {Failure::SAME_FILE, EXIT_FILE_ERROR, false, "input and output are the same file: ", "\n"},
    {Failure::ERROR_READING, EXIT_FILE_ERROR, false, "error reading ", "\n"},
    {Failure::ERROR_WRITING, EXIT_FILE_ERROR, false, "error writing ", "\n"},
    {Failure::PERIOD_USAGE, EXIT_BAD_INPUT, false,
     "usage: tabsum --by day|month|year|water-year [<options>] <in-name> <out-name> "
     "[<headrows{def=auto}>] [<data columns{def=auto}>] [<additional columns{def=0}>]\n\n",
     ""},
    {Failure::OPTION_VALUE, EXIT_BAD_INPUT, false, "invalid value for ", "; see 'tabsum --help'\n"},
    {Failure::OPTION_WITHOUT_VALUE, EXIT_BAD_INPUT, false, "option ", " needs a value\n"},
    {Failure::OPTION_TWICE, EXIT_BAD_INPUT, false, "option ", " given twice\n"},
    {Failure::OPTION_WITHOUT_PERIOD, EXIT_BAD_INPUT, false, "option ", " works only with --by\n"},
    // The rows are named by their lines and stamps as they stand in the table.
    {Failure::STAMP_NOT_A_DATE, EXIT_BAD_INPUT, false, "stamp names no hour of the calendar: ", "\n"},
    {Failure::ROWS_OUT_OF_ORDER, EXIT_BAD_INPUT, false, "rows out of order: ", "\n"},
    {Failure::STEP_UNKNOWN, EXIT_BAD_INPUT, false, "the first two data rows do not tell the step of the table (",
     "); give --step HOURS\n"},
    // Standard output is what failed, so this one goes to standard error.
    {Failure::ERROR_WRITING_CONSOLE, EXIT_FILE_ERROR, true, "error writing standard output\n", ""},
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

// The failure with its message, its stream and its exit code, ready to be
// thrown; `argument` is the file name or number the message names.
inline textio::FatalError failure(Failure f, std::string_view argument = {}) {
  const FailureRow& row = failure_row(f);
  std::string message = row.before;
  message.append(argument);
  message += row.after;
  return textio::FatalError{row.code, std::move(message), row.to_stderr};
}

}  // namespace tabsum
