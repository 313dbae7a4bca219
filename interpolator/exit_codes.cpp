#include "exit_codes.h"

#include <cstdio>
#include <stdexcept>

namespace pluvo {
namespace {

// printf's "%<width>d".
std::string padded(int v, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%*d", width, v);
  return text;
}

std::string date_hour(const MessageArguments& a, int year_width) {
  return padded(a.day, 2) + "." + padded(a.month, 2) + "." + padded(a.year, year_width);
}

std::string compose(const CodeRow& row, const MessageArguments& a) {
  const std::string code = std::to_string(row.code);
  switch (row.message) {
    case Message::ALLOCATION: {
      char text[ALLOCATION_MESSAGE_SIZE];
      allocation_message(row.code, text);
      return text;
    }
    case Message::OPEN:
      return "Fehler beim Oeffnen der Datei " + a.name + "\n";
    case Message::START_DATE:
      return "Datei " + a.name + " enthaelt das Datum " + date_hour(a, 2) + ",stunde " + padded(a.hour, 2) +
             " nicht (feof)!\n";
    case Message::TIME_MISMATCH:
      return "Zeitvergleichsfehler bei " + date_hour(a, 4) + " Stunde " + padded(a.hour, 2) + " !\n";
    case Message::ARGUMENT:
      return a.name + "\n";
    case Message::CLOSE:
      return "Fehler beim Schliessen der Datei " + a.name + "\n";
    case Message::CONSOLE_WRITE:
      return "Fehler beim Schreiben der Standardausgabe\n";
    case Message::READ:
      return "Dateilesefehler ! (" + code + ")\n";
  }
  return {};
}

}  // namespace

void allocation_message(ExitCode code, char (&text)[ALLOCATION_MESSAGE_SIZE]) {
  std::snprintf(text, sizeof text, "Speicherbelegungsfehler ! (%d)\n", static_cast<int>(code));
}

textio::FatalError failure(ExitCode code, const MessageArguments& arguments) {
  const CodeRow* row = code_row(code);
  if (!row) throw std::logic_error("pluvo: exit code " + std::to_string(code) + " is not in the table");
  return textio::FatalError{row->code, compose(*row, arguments), row->to_stderr};
}

}  // namespace pluvo
