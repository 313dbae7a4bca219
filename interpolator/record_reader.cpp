#include "record_reader.h"

#include "fatal_errors.h"

namespace pluvo {

void read_record(textio::TextReader& stream, const RecordTarget& target, double factor, ExitCode stamp_code,
                 ExitCode value_code, bool skip) {
  DateHour& stamp = *target.stamp;
  if (stream.scan_int(stamp.year) != textio::SCAN_OK || stream.scan_int(stamp.month) != textio::SCAN_OK ||
      stream.scan_int(stamp.day) != textio::SCAN_OK || stream.scan_int(stamp.hour) != textio::SCAN_OK ||
      stream.read_failed()) {
    fatal_read_error(stamp_code);
  }
  for (int i = target.first; i <= target.last; ++i) {
    if (stream.scan_double(target.values[i]) != textio::SCAN_OK) fatal_read_error(value_code);
    target.values[i] *= factor;
  }
  double surplus = 0.0;
  for (int i = target.last + 1; i <= target.declared_last; ++i) {
    if (stream.scan_double(surplus) != textio::SCAN_OK) fatal_read_error(value_code);
  }
  if (skip) stream.skip_space();
  // A failed read looks like the end of the file to the conversions; the
  // last value or the skip behind it may have met it.
  if (stream.read_failed()) fatal_read_error(value_code);
  if (stamp.year < 100) stamp.year += 1900;
}

}  // namespace pluvo
