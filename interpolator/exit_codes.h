// Every way a pluvo run can end: the exit code, the message it prints and
// the stream the message goes to. The code names its failures from this
// table only; no exit code or message text of a failure stands elsewhere.
#pragma once

#include <string>

#include "fatal_error.h"

namespace pluvo {

enum ExitCode : int {
  EXIT_COMPLETE = 0,

  // Storage that cannot be obtained.
  ALLOC_HEADER_WORK = 1,    // the header reader's work buffer; the station table's room for more stations
  ALLOC_WEIGHTS = 2,        // the interpolation's weights, the daily loop's sums and threads
  ALLOC_WORD_BUFFER_1 = 3,  // 3 to 6: the four word buffers
  ALLOC_WORD_BUFFER_2 = 4,
  ALLOC_WORD_BUFFER_3 = 5,
  ALLOC_WORD_BUFFER_4 = 6,
  ALLOC_LINE_BUFFER = 7,  // also a line or word too long for the memory
  ALLOC_ANETZ_NAME = 8,   // 8 to 11: the four file-name buffers
  ALLOC_KLIMA_NAME = 9,
  ALLOC_SAMMLER_NAME = 10,
  ALLOC_OUTPUT_NAME = 11,
  // 12 to 15 are not used: the station arrays are part of the run's state
  // and are obtained with it (18); the hour sums are a work array of the
  // daily loop.
  ALLOC_RING_VALUES = 16,  // also the wider value arrays of more than 100 stations
  ALLOC_RING_STAMPS = 17,
  ALLOC_IO_BUFFERS = 18,  // the buffers of the console and of the files, obtained first

  OPEN_STATION_FILE = 101,
  ANETZ_START_MISSING = 102,
  KLIMA_START_MISSING = 103,
  SAMMLER_START_MISSING = 104,
  KLIMA_TIME_MISMATCH = 105,
  SAMMLER_TIME_MISMATCH = 106,
  OPEN_OUTPUT = 107,  // also an output that is one of the inputs
  BAD_ARGUMENT = 108,

  CLOSE_ANETZ = 201,
  CLOSE_KLIMA = 202,
  CLOSE_SAMMLER = 203,
  CLOSE_OUTPUT = 204,  // also an output not written completely
  CONSOLE_WRITE = 205,

  // Station file header: label words and values of lines 3 to 5.
  READ_X_LABELS = 301,
  READ_X = 302,
  READ_Y_LABELS = 303,
  READ_Y = 304,
  READ_NAME_LABELS = 305,
  READ_NAME = 306,
  // Records: date fields, then a station value, of each read.
  READ_ANETZ_SEARCH_STAMP = 307,
  READ_ANETZ_SEARCH_VALUE = 308,
  READ_ANETZ_FILL_STAMP = 309,
  READ_ANETZ_FILL_VALUE = 310,
  READ_KLIMA_FIRST_STAMP = 311,  // 7 h record of a pair at the start
  READ_KLIMA_FIRST_VALUE = 312,
  READ_KLIMA_SECOND_STAMP = 313,  // 19 h record of a pair at the start
  READ_KLIMA_SECOND_VALUE = 314,
  READ_SAMMLER_SEARCH_STAMP = 315,
  READ_SAMMLER_SEARCH_VALUE = 316,
  READ_ANETZ_STAMP = 317,  // 317 to 322: the hourly advance
  READ_ANETZ_VALUE = 318,
  READ_KLIMA_STAMP = 319,
  READ_KLIMA_VALUE = 320,
  READ_SAMMLER_STAMP = 321,
  READ_SAMMLER_VALUE = 322,
};

// The message of a code; %d is the code itself where the text shows a number.
enum class Message {
  ALLOCATION,     // "Speicherbelegungsfehler ! (%d)\n"
  OPEN,           // "Fehler beim Oeffnen der Datei %s\n"
  START_DATE,     // "Datei %s enthaelt das Datum %2d.%2d.%2d,stunde %2d nicht (feof)!\n"
  TIME_MISMATCH,  // "Zeitvergleichsfehler bei %2d.%2d.%4d Stunde %2d !\n"
  ARGUMENT,       // the caller's text, one line
  CLOSE,          // "Fehler beim Schliessen der Datei %s\n"
  CONSOLE_WRITE,  // "Fehler beim Schreiben der Standardausgabe\n"
  READ,           // "Dateilesefehler ! (%d)\n"
};

struct CodeRow {
  ExitCode code;
  Message message;
  bool to_stderr;  // else standard output, after what the run printed
};

inline constexpr CodeRow CODE_TABLE[] = {
    {ALLOC_HEADER_WORK, Message::ALLOCATION, true},
    {ALLOC_WEIGHTS, Message::ALLOCATION, true},
    {ALLOC_WORD_BUFFER_1, Message::ALLOCATION, true},
    {ALLOC_WORD_BUFFER_2, Message::ALLOCATION, true},
    {ALLOC_WORD_BUFFER_3, Message::ALLOCATION, true},
    {ALLOC_WORD_BUFFER_4, Message::ALLOCATION, true},
    {ALLOC_LINE_BUFFER, Message::ALLOCATION, true},
    {ALLOC_ANETZ_NAME, Message::ALLOCATION, true},
    {ALLOC_KLIMA_NAME, Message::ALLOCATION, true},
    {ALLOC_SAMMLER_NAME, Message::ALLOCATION, true},
    {ALLOC_OUTPUT_NAME, Message::ALLOCATION, true},
    {ALLOC_RING_VALUES, Message::ALLOCATION, true},
    {ALLOC_RING_STAMPS, Message::ALLOCATION, true},
    {ALLOC_IO_BUFFERS, Message::ALLOCATION, true},
    {OPEN_STATION_FILE, Message::OPEN, false},
    {ANETZ_START_MISSING, Message::START_DATE, false},
    {KLIMA_START_MISSING, Message::START_DATE, false},
    {SAMMLER_START_MISSING, Message::START_DATE, false},
    {KLIMA_TIME_MISMATCH, Message::TIME_MISMATCH, false},
    {SAMMLER_TIME_MISMATCH, Message::TIME_MISMATCH, false},
    {OPEN_OUTPUT, Message::OPEN, false},
    {BAD_ARGUMENT, Message::ARGUMENT, true},
    {CLOSE_ANETZ, Message::CLOSE, false},
    {CLOSE_KLIMA, Message::CLOSE, false},
    {CLOSE_SAMMLER, Message::CLOSE, false},
    {CLOSE_OUTPUT, Message::CLOSE, false},
    // Standard output is what failed, so this one goes to standard error.
    {CONSOLE_WRITE, Message::CONSOLE_WRITE, true},
    {READ_X_LABELS, Message::READ, true},
    {READ_X, Message::READ, true},
    {READ_Y_LABELS, Message::READ, true},
    {READ_Y, Message::READ, true},
    {READ_NAME_LABELS, Message::READ, true},
    {READ_NAME, Message::READ, true},
    {READ_ANETZ_SEARCH_STAMP, Message::READ, true},
    {READ_ANETZ_SEARCH_VALUE, Message::READ, true},
    {READ_ANETZ_FILL_STAMP, Message::READ, true},
    {READ_ANETZ_FILL_VALUE, Message::READ, true},
    {READ_KLIMA_FIRST_STAMP, Message::READ, true},
    {READ_KLIMA_FIRST_VALUE, Message::READ, true},
    {READ_KLIMA_SECOND_STAMP, Message::READ, true},
    {READ_KLIMA_SECOND_VALUE, Message::READ, true},
    {READ_SAMMLER_SEARCH_STAMP, Message::READ, true},
    {READ_SAMMLER_SEARCH_VALUE, Message::READ, true},
    {READ_ANETZ_STAMP, Message::READ, true},
    {READ_ANETZ_VALUE, Message::READ, true},
    {READ_KLIMA_STAMP, Message::READ, true},
    {READ_KLIMA_VALUE, Message::READ, true},
    {READ_SAMMLER_STAMP, Message::READ, true},
    {READ_SAMMLER_VALUE, Message::READ, true},
};

// The row of a code; null for a code that is not in the table.
constexpr const CodeRow* code_row(int code) {
  for (const CodeRow& row : CODE_TABLE) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

// What the message of a code names besides the code itself.
struct MessageArguments {
  std::string name;  // OPEN, START_DATE, CLOSE: the file; ARGUMENT: the whole text
  int day = 0;       // START_DATE, TIME_MISMATCH: the date and hour shown
  int month = 0;
  int year = 0;
  int hour = 0;
};

// "Speicherbelegungsfehler ! (<code>)\n" into `text`, without obtaining
// storage, for the moment when there is none to be had.
constexpr int ALLOCATION_MESSAGE_SIZE = 48;
void allocation_message(ExitCode code, char (&text)[ALLOCATION_MESSAGE_SIZE]);

// The failure of `code`, with the message and the stream its row gives,
// ready to be thrown. A code outside the table is a fault of the caller.
textio::FatalError failure(ExitCode code, const MessageArguments& arguments = {});

}  // namespace pluvo
