#include "help_text.h"

#include "version.h"

namespace pluvo {

std::string help_text() {
  std::string text = "pluvo ";
  text += textio::VERSION;
  text +=
      ": hourly precipitation for stations that measure 12-hourly or daily totals\n"
      "\n"
      "usage: pluvo                 answer the dialogue at the console\n"
      "       pluvo < answers.txt   the same answers, one per line, from a file\n"
      "       pluvo --help | -h | --version\n"
      "\n"
      "The dialogue, in this order (default: what an answer that is missing or\n"
      "not a number leaves):\n"
      "  hourly data            ANETZ file, hourly values (one word)      none\n"
      "  konventional data      Klima file, readings at 7 h and 19 h      empty: none\n"
      "  daily sums             Sammler file, one reading at 7 h, in\n"
      "                         units ten times the ANETZ unit            empty: none\n"
      "  output file            one word, created or emptied              none\n"
      "  nodata value           values not above -nodata are missing      998\n"
      "  starting day, month, year  first day (years below 100 are 19xx)  1.1.1900\n"
      "  end day, month, year   last day                                  1.1.1900\n"
      "  weighting ... (power)  power of the inverse distance             0\n"
      "  maximum distance       in the unit of the coordinates            0\n"
      "  lower limit, values below replacing with                         0, 0\n"
      "  upper limit, values grater than upper limit replacing with       0, 0\n"
      "An answer that is not a number leaves it and every later number at its\n"
      "default; the remaining prompts are then printed at once.\n"
      "\n"
      "Files: a station file is a five-line header (a title; the heights behind\n"
      "the 11-character label YY MM DD HH; then four label words and the x\n"
      "coordinates, the y coordinates, the names) and records year month day hour\n"
      "value... with hours 1 to 24. The output is one tab-separated table of every\n"
      "hour from the start date to the end date.\n"
      "\n"
      "Exit status:\n"
      "  0        complete run\n"
      "  1-11, 16-18  Speicherbelegungsfehler ! (N)    standard error\n"
      "  101-107  a file cannot be opened, lacks the start date, or a record\n"
      "           does not carry the hour of the hourly data   standard output\n"
      "  108      a command-line argument pluvo cannot use     standard error\n"
      "  201-204  Fehler beim Schliessen der Datei NAME        standard output\n"
      "  205      Fehler beim Schreiben der Standardausgabe    standard error\n"
      "  301-322  Dateilesefehler ! (N)                standard error\n"
      "\n"
      "Full manual: man pluvo (man/pluvo.1 in the source tree).\n";
  return text;
}

}  // namespace pluvo
