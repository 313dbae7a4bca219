#include "run_warnings.h"

#include "aggregation_settings.h"

namespace tabsum {
namespace {

constexpr const char* PREFIX = "tabsum: warning: ";

std::string stamp_text(const Stamp& s) {
  return std::to_string(s.year) + ' ' + std::to_string(s.month) + ' ' + std::to_string(s.day) + ' ' +
         std::to_string(s.hour);
}

// A line number that could not be found (the input changed, or cannot be
// read again) is shown as a question mark.
std::string line_text(const RowPlace& row) { return row.line > 0 ? std::to_string(row.line) : "?"; }

std::string plural(long long n, const char* one, const char* many) {
  return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

}  // namespace

std::string step_warning(const StampCheck& check) {
  if (check.no_step) {
    const StepPlace& p = check.places[0];
    return std::string(PREFIX) + "lines " + line_text(check.first_row) + " and " + line_text(p.row) +
           " (" + stamp_text(p.before) + " then " + stamp_text(p.stamp) +
           ") give the table no step forward in time, so its stamps are not checked\n";
  }
  if (check.out_of_step == 0) return {};
  std::string text = PREFIX + plural(check.out_of_step, "row", "rows") + " out of step in time (the table's step is " +
                     plural(check.step, "hour", "hours") + "): ";
  for (int i = 0; i < check.named_places; ++i) {
    const StepPlace& p = check.places[i];
    if (i > 0) text += ", ";
    text += "line " + line_text(p.row) + " (" + stamp_text(p.stamp) + " after " + stamp_text(p.before) + ")";
  }
  if (check.out_of_step > check.named_places) text += " and " + std::to_string(check.out_of_step - check.named_places) + " more";
  text += check.out_of_step == 1 ? "; groups are counted in rows, so the groups behind this place are shifted\n"
                                  : "; groups are counted in rows, so the groups behind these places are shifted\n";
  return text;
}

std::string totals_row_warnings(const StampCheck& check) {
  std::string text;
  for (int i = 0; i < check.named_totals_rows; ++i) {
    text += PREFIX + std::string("line ") + line_text(check.totals_row_places[i]) +
            " is stamped 0 0 0 0: the totals row of a tabsum table, summed as data\n";
  }
  if (check.totals_rows > check.named_totals_rows) {
    text += PREFIX + std::to_string(check.totals_rows) + " rows stamped 0 0 0 0 in all, each summed as data\n";
  }
  return text;
}

std::string shrunk_input_warning(const std::string& in_name, long long size_at_open, std::uint64_t bytes_read) {
  return PREFIX + in_name + " shrank while it was read: " + plural(size_at_open, "byte", "bytes") +
         " when it was opened, " + std::to_string(bytes_read) + " read to its end\n";
}

std::string run_warnings(TabsumRun& run) {
  textio::TextReader& in = run.input;
  std::string shrunk;
  if (in.source_ended() && in.size_at_open() >= 0 && in.bytes_read() < static_cast<std::uint64_t>(in.size_at_open())) {
    shrunk = shrunk_input_warning(run.settings.in_name, in.size_at_open(), in.bytes_read());
  }
  // This reads the input again: the sizes above are taken first.
  number_places(run.stamps, in);
  return step_warning(run.stamps) + totals_row_warnings(run.stamps) + shrunk;
}

}  // namespace tabsum
