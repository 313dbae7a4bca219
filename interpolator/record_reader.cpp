#include "record_reader.h"

#include "fatal_errors.h"
#include "short_decimal.h"

namespace pluvo {
namespace {

// Reads values[i] for i = from.. while they are of the short form and
// buffered, on a pointer of its own; returns the index of the first value
// not read. The white space it passes over is what "%lf" would skip.
int scan_short_values(textio::TextReader& stream, double* values, int from, int to) {
  const char* p = stream.unread();
  int i = from;
  for (; i <= to; ++i) {
    // The NUL behind the buffered text ends this loop.
    while (textio::is_c_space(static_cast<unsigned char>(*p))) ++p;
    const std::size_t taken = scan_short_decimal(p, values[i]);
    if (taken == 0) break;
    p += taken;
  }
  stream.consume_to(p);
  return i;
}

// "%lf" into values[first..last]; the short form is read at once, every
// other text by the reader's own conversion.
bool scan_values(textio::TextReader& stream, double* values, int first, int last) {
  for (int i = first; i <= last; ++i) {
    i = scan_short_values(stream, values, i, last);
    if (i > last) break;
    if (stream.scan_double(values[i]) != textio::SCAN_OK) return false;
  }
  return true;
}

}  // namespace

void read_record(textio::TextReader& stream, const RecordTarget& target, double factor, ReadCodes codes, bool skip,
                 HourZeroNote* hour_zero) {
  DateHour& stamp = *target.stamp;
  if (stream.scan_int(stamp.year) != textio::SCAN_OK || stream.scan_int(stamp.month) != textio::SCAN_OK ||
      stream.scan_int(stamp.day) != textio::SCAN_OK || stream.scan_int(stamp.hour) != textio::SCAN_OK ||
      stream.read_failed()) {
    fatal_read_error(codes.stamp);
  }
  // Hours stamped 0 to 23 read without a failure, one hour late; the line
  // is counted now, while the reader stands on the stamp's line.
  if (stamp.hour == 0 && hour_zero != nullptr && !hour_zero->seen) [[unlikely]] {
    *hour_zero = HourZeroNote{.seen = true, .line = stream.line_number(), .year = stamp.year, .month = stamp.month,
                              .day = stamp.day};
  }
  if (!scan_values(stream, target.values, target.first, target.last)) fatal_read_error(codes.value);
  // A factor of 1 leaves every double as it is.
  if (factor != 1.0) {
    for (int i = target.first; i <= target.last; ++i) target.values[i] *= factor;
  }
  if (skip) stream.skip_space();
  // A failed read looks like the end of the file to the conversions; the
  // last value or the skip behind it may have met it.
  if (stream.read_failed()) fatal_read_error(codes.value);
  if (stamp.year < 100) stamp.year += 1900;
}

}  // namespace pluvo
