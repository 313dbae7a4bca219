#include "help_text.h"

#include <string_view>

#include "exit_codes.h"
#include "version.h"

namespace tabsum {

std::string help_text() {
  std::string text = "tabsum ";
  text += textio::VERSION;
  text +=
      ": sums the columns of a table over groups of rows or by the calendar\n"
      "\n";
  // The usage line that a short command line prints, without its blank line.
  const std::string_view usage = failure_row(Failure::USAGE).before;
  text += usage.substr(0, usage.size() - 1);
  const std::string_view by_period = failure_row(Failure::PERIOD_USAGE).before;
  text += "       ";
  text += by_period.substr(7, by_period.size() - 8);
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
      "Options, before in-name (--name value or --name=value):\n"
      "  --by PERIOD          groups by the calendar instead of rows: day, month, year\n"
      "                       or water-year, found from each row's stamp; one row per\n"
      "                       period from the first row's to the last one's, stamped\n"
      "                       with the period's last hour; a value of -999 where a\n"
      "                       column has no valid value; the rows must be in order\n"
      "  --stamps end|start   stamps mark the end of their interval (default: hour 24\n"
      "                       is the last hour of a day) or its start (hours 0 to 23)\n"
      "  --step HOURS         hours per row, 1 to 24 (default: the first two rows)\n"
      "  --day-start HOUR     days begin at this hour, 0 to 23 (default 0)\n"
      "  --water-year-start MONTH  first month of a water year (default 10); a water\n"
      "                       year is named by the year in which it ends\n"
      "  --stat STAT          sum (default), mean, min, max or count of valid values\n"
      "  --min-valid SHARE    0 < SHARE <= 1: a group's value only where its valid\n"
      "                       values number at least SHARE times the expected count\n"
      "                       (the hours of the period divided by the step, or the\n"
      "                       rows of a group), else -999\n"
      "  --stat and --min-valid also apply to fixed groups; there too, a group\n"
      "  without a valid value is then -999. The totals row holds the statistic of\n"
      "  every valid value (a sum of none is 0).\n"
      "\n"
      "Exit status (messages on standard output; a failed write to standard output\n"
      "is reported on standard error):\n"
      "  0  complete run, \"ready..\"\n"
      "  1  fewer than three arguments (usage), number of intervals below 2, no line\n"
      "     that starts with a number, a negative number of columns, not enough memory;\n"
      "     an option that cannot be used; with --by: a stamp that names no hour, rows\n"
      "     out of order, a step that cannot be told\n"
      "  2  a file cannot be opened, read or written, or input and output are the\n"
      "     same file\n"
      "\n"
      "Full manual: man tabsum (man/tabsum.1 in the source tree).\n";
  return text;
}

}  // namespace tabsum
