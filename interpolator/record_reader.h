// Records of the station files: a stamp (year, month, day, hour) and one
// value per station of the file, read as a stream of numbers.
#pragma once

#include "date_hour.h"
#include "station_group.h"
#include "text_reader.h"

namespace pluvo {

struct RecordTarget {
  DateHour* stamp;
  double* values;
  int first;  // station index of the file's first station
  int last;   // station index of its last station
};

// Reads one record; ends the run with `codes.stamp` or `codes.value` when a
// field does not convert or a read of the file fails. Values are multiplied
// by `factor`; with `skip` the white space behind the record is consumed.
// Years below 100 are 19xx. The first record stamped hour 0 is noted in
// `hour_zero`, when given, with its line and its stamp as written.
void read_record(textio::TextReader& stream, const RecordTarget& target, double factor, ReadCodes codes, bool skip,
                 HourZeroNote* hour_zero = nullptr);

}  // namespace pluvo
