#include "output_table.h"

#include <cstring>
#include <string_view>

#include "one_decimal_format.h"

namespace pluvo {
namespace {

constexpr const char* LABELS = "\nYY\tMM\tDD\tHH";

// A row is composed here and handed to the output buffer in pieces of up
// to CHUNK_VALUES values: the four stamp fields and a piece's values, each
// with its tab, and the line end fit.
constexpr std::size_t STAMP_ROOM = 4 * 24;
constexpr std::size_t VALUE_ROOM = textio::MAX_NUMBER_CHARS + 1;
constexpr int CHUNK_VALUES = 128;
constexpr std::size_t ROW_ROOM = STAMP_ROOM + CHUNK_VALUES * VALUE_ROOM + 1;

char* write_int(char* out, long long v) {
  if (v < 0) {
    *out++ = '-';
    return textio::write_unsigned(out, 0ULL - static_cast<unsigned long long>(v));
  }
  return textio::write_unsigned(out, static_cast<unsigned long long>(v));
}

// The row of stations 1..total_stations, its year field written as
// `year_field`, handed to `sink` in pieces.
template <class Sink>
void compose_row(const PluvoRun& run, long long year, const DateHour& stamp, const double* values, Sink&& sink) {
  char row[ROW_ROOM];
  char* p = write_int(row, year);
  *p++ = '\t';
  p = write_int(p, stamp.month);
  *p++ = '\t';
  p = write_int(p, stamp.day);
  *p++ = '\t';
  p = write_int(p, stamp.hour);
  const int last = run.total_stations;
  for (int from = 1; from <= last; from += CHUNK_VALUES) {
    const int to = last - from < CHUNK_VALUES ? last : from + CHUNK_VALUES - 1;
    for (int i = from; i <= to; ++i) {
      *p++ = '\t';
      p = textio::format_one_decimal(p, values[i]);
    }
    if (to < last) {
      sink(std::string_view(row, static_cast<std::size_t>(p - row)));
      p = row;
    }
  }
  *p++ = '\n';
  sink(std::string_view(row, static_cast<std::size_t>(p - row)));
}

long long year_field(const DateHour& stamp) { return stamp.year > 100 ? stamp.year - 1900LL : stamp.year; }

void put_row(PluvoRun& run, long long year, const DateHour& stamp, const double* values) {
  compose_row(run, year, stamp, values, [&](std::string_view piece) { run.output_file.put(piece); });
}

}  // namespace

void write_output_header(PluvoRun& run) {
  textio::OutputBuffer& out = run.output_file;
  const StationTable& t = run.stations;
  out.put("interpolierte Stationswerte");
  for (const auto* column : {&t.height, &t.x, &t.y}) {
    out.put(LABELS);
    for (int i = 1; i <= run.total_stations; ++i) {
      out.put('\t');
      out.put_fixed((*column)[i], 0);
    }
  }
  out.put(LABELS);
  for (int i = 1; i <= run.total_stations; ++i) {
    out.put('\t');
    const char* name = t.name[i - 1].data();
    out.put(std::string_view(name, strnlen(name, NAME_CELL - 1)));
  }
  out.put('\n');
}

void write_output_row(PluvoRun& run, const DateHour& stamp, const double* values) {
  put_row(run, year_field(stamp), stamp, values);
}

void compose_output_row(const PluvoRun& run, const DateHour& stamp, const double* values, std::string& text) {
  compose_row(run, year_field(stamp), stamp, values, [&](std::string_view piece) { text.append(piece); });
}

void write_start_row(PluvoRun& run, const DateHour& stamp, const double* values) {
  put_row(run, stamp.year - 1900LL, stamp, values);
}

}  // namespace pluvo
