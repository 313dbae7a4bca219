#include "output_table.h"

#include <cstring>
#include <string_view>

#include "one_decimal_format.h"

namespace pluvo {
namespace {

constexpr const char* LABELS = "\nYY\tMM\tDD\tHH";

// A row is composed here and handed to the output buffer in pieces of at
// most this size; one value takes at most MAX_NUMBER_CHARS and its tab.
constexpr std::size_t ROW_PIECE = 4096;
constexpr std::size_t VALUE_ROOM = textio::MAX_NUMBER_CHARS + 1;

char* write_int(char* out, long long v) {
  if (v < 0) {
    *out++ = '-';
    return textio::write_unsigned(out, 0ULL - static_cast<unsigned long long>(v));
  }
  return textio::write_unsigned(out, static_cast<unsigned long long>(v));
}

void put_row(PluvoRun& run, long long year_field, int month, int day, int hour, int first, int last, const double* values) {
  char piece[ROW_PIECE];
  char* p = write_int(piece, year_field);
  *p++ = '\t';
  p = write_int(p, month);
  *p++ = '\t';
  p = write_int(p, day);
  *p++ = '\t';
  p = write_int(p, hour);
  textio::OutputBuffer& out = run.output_file;
  for (int i = first; i <= last; ++i) {
    if (static_cast<std::size_t>(piece + ROW_PIECE - p) < VALUE_ROOM + 1) {
      out.put(std::string_view(piece, static_cast<std::size_t>(p - piece)));
      p = piece;
    }
    *p++ = '\t';
    p = textio::format_one_decimal(p, values[i]);
  }
  *p++ = '\n';
  out.put(std::string_view(piece, static_cast<std::size_t>(p - piece)));
}

}  // namespace

void write_output_header(PluvoRun& run) {
  textio::OutputBuffer& out = run.output_file;
  const StationTable& t = run.stations;
  out.put("interpolierte Stationswerte");
  for (const auto* column : {&t.height, &t.x, &t.y}) {
    out.put(LABELS);
    for (int i = 1; i <= run.nTotal; ++i) {
      out.put('\t');
      out.put_fixed((*column)[i], 0);
    }
  }
  out.put(LABELS);
  for (int i = 1; i <= run.nTotal; ++i) {
    out.put('\t');
    const char* name = t.name[i - 1].data();
    out.put(std::string_view(name, strnlen(name, NAME_CELL - 1)));
  }
  out.put('\n');
}

void write_output_row(PluvoRun& run, int year, int month, int day, int hour, int first, int last,
                      const double* values) {
  put_row(run, year > 100 ? year - 1900LL : year, month, day, hour, first, last, values);
}

void write_start_row(PluvoRun& run, const DateHour& stamp, int first, int last, const double* values) {
  put_row(run, stamp.year - 1900LL, stamp.month, stamp.day, stamp.hour, first, last, values);
}

}  // namespace pluvo
