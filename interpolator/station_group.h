// The stations of one station file: the station indices they take, how
// many the file's header declares, the open file, and how its records are
// read.
#pragma once

#include "exit_codes.h"
#include "run_notes.h"
#include "text_reader.h"

namespace pluvo {

struct DateHour;

// Station indices first..last; none when last < first.
struct StationSpan {
  int first = 1;
  int last = 0;
};

// The codes a failed read of a record ends the run with: one for its date
// fields, one for its values.
struct ReadCodes {
  ExitCode stamp = EXIT_COMPLETE;
  ExitCode value = EXIT_COMPLETE;
};

// The groups follow each other in the station table: ANETZ from index 1
// on, Klima behind it, Sammler behind that. A group without a file takes
// no index: its `last` is `first` - 1.
struct StationGroup {
  int first = 1;  // station index of the file's first station
  int last = 0;   // station index of the file's last station
  double factor = 1.0;  // every value read, markers included, is multiplied by it
  ReadCodes search{};   // reading up to the start date (Klima: its 7 h records)
  ReadCodes advance{};  // reading the record of an hour of the hourly advance
  ExitCode mismatch = EXIT_COMPLETE;  // a record whose stamp is not the ANETZ hour's
  textio::TextReader file{};
  HourZeroNote hour_zero{};  // the file's first record stamped hour 0

  int count() const { return last - first + 1; }
  StationSpan span() const { return {first, last}; }
};

// Places `group` right behind `before`, holding no station yet.
void place_behind(StationGroup& group, const StationGroup& before);

// Reads the group's next record: the stamp into `stamp`, the values into
// entries first..last of `values`, times the group's factor; a failed read
// ends the run with `codes`. With `skip` the white space behind the record
// is consumed.
void read_group_record(StationGroup& group, DateHour& stamp, double* values, ReadCodes codes, bool skip);

}  // namespace pluvo
