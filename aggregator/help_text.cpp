#include "help_text.h"

#include <string_view>

#include "exit_codes.h"
#include "version.h"

namespace tabsum {

std::string help_text() {
  std::string text = "tabsum ";
  text += textio::VERSION;
  text +=
      ": sums every value column of a table over fixed groups of rows\n"
      "\n";
  // The usage line that a short command line prints, without its blank line.
  const std::string_view usage = failure_row(Failure::USAGE).before;
  text += usage.substr(0, usage.size() - 1);
  text +=
      "       tabsum --help | -h | --version\n"
      "\n"
      "  in-name              table to read: header rows, then data rows of year, month,\n"
      "                       day, hour and values, separated by blanks and/or tabs;\n"
      "                       values at or below -998 are missing and not summed\n"
      "  out-name             table to write (created or emptied): the header rows, one\n"
      "                       row of sums per complete group, the totals row 0 0 0 0 ...\n"
      "  number of intervals  rows per group, 2 or more (2.9 counts as 2)\n"
      "  headrows             header rows; absent or negative: every line before the\n"
      "                       first line that starts with a number\n"
      "  data columns         value columns to sum; absent: counted on the first data row\n"
      "  additional columns   columns between the date and the data columns that are\n"
      "                       read and not summed (default 0)\n"
      "  A word such as auto typed for headrows or a column count is 0.\n"
      "\n"
      "Sums are written with 6 significant digits (2962960.8 as 2.96296e+06); a group\n"
      "whose values are all missing sums to 0. The console shows one line per data row,\n"
      "day.month.year, hour: (cnt: valid values) mean, and one for the whole run.\n"
      "\n"
      "Exit status (messages on standard output; a failed write to standard output\n"
      "is reported on standard error):\n"
      "  0  complete run, \"ready..\"\n"
      "  1  fewer than three arguments (usage), number of intervals below 2, no line\n"
      "     that starts with a number, a negative number of columns, not enough memory\n"
      "  2  a file cannot be opened, read or written, or input and output are the\n"
      "     same file\n"
      "\n"
      "Full manual: man tabsum (man/tabsum.1 in the source tree).\n";
  return text;
}

}  // namespace tabsum
