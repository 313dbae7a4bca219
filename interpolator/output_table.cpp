#include "output_table.h"

#include <cstring>
#include <string_view>

namespace pluvo {
namespace {

constexpr const char* LABELS = "\nYY\tMM\tDD\tHH";

void put_row(PluvoRun& run, long long year_field, int month, int day, int hour, int first, int last, const double* values) {
  textio::OutputBuffer& out = run.output_file;
  out.put_int(year_field);
  out.put('\t');
  out.put_int(month);
  out.put('\t');
  out.put_int(day);
  out.put('\t');
  out.put_int(hour);
  for (int i = first; i <= last; ++i) {
    out.put('\t');
    out.put_one_decimal(values[i]);
  }
  out.put('\n');
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
