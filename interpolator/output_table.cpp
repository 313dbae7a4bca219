#include "output_table.h"

#include <cstring>
#include <string_view>

#include "one_decimal_format.h"

namespace pluvo {
namespace {

constexpr const char* LABELS = "\nYY\tMM\tDD\tHH";

// A row is composed here whole and handed to the output buffer at once:
// the four stamp fields and every value with its tab fit.
constexpr std::size_t STAMP_ROOM = 4 * 24;
constexpr std::size_t VALUE_ROOM = textio::MAX_NUMBER_CHARS + 1;
constexpr std::size_t ROW_ROOM = STAMP_ROOM + MAX_STATIONS * VALUE_ROOM + 1;

char* write_int(char* out, long long v) {
  if (v < 0) {
    *out++ = '-';
    return textio::write_unsigned(out, 0ULL - static_cast<unsigned long long>(v));
  }
  return textio::write_unsigned(out, static_cast<unsigned long long>(v));
}

// The row of stations 1..nTotal, its year field written as `year_field`.
void put_row(PluvoRun& run, long long year_field, const DateHour& stamp, const double* values) {
  char row[ROW_ROOM];
  char* p = write_int(row, year_field);
  *p++ = '\t';
  p = write_int(p, stamp.month);
  *p++ = '\t';
  p = write_int(p, stamp.day);
  *p++ = '\t';
  p = write_int(p, stamp.hour);
  // No value array holds stations beyond 1..MAX_STATIONS, nor does the row.
  const int last = run.nTotal < MAX_STATIONS ? run.nTotal : MAX_STATIONS;
  for (int i = 1; i <= last; ++i) {
    *p++ = '\t';
    p = textio::format_one_decimal(p, values[i]);
  }
  *p++ = '\n';
  run.output_file.put(std::string_view(row, static_cast<std::size_t>(p - row)));
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

void write_output_row(PluvoRun& run, const DateHour& stamp, const double* values) {
  const long long year = stamp.year > 100 ? stamp.year - 1900LL : stamp.year;
  put_row(run, year, stamp, values);
}

void write_start_row(PluvoRun& run, const DateHour& stamp, const double* values) {
  put_row(run, stamp.year - 1900LL, stamp, values);
}

}  // namespace pluvo
