#include "layout_detection.h"

#include <cstring>

#include "exit_codes.h"
#include "number_scan.h"
#include "tabsum_run.h"

namespace tabsum {

bool converts_as_number(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && textio::is_c_space(static_cast<unsigned char>(text[i]))) ++i;
  if (i == text.size()) return false;
  double value = 0.0;
  return textio::scan_double_at(text.data() + i, text.size() - i, true, value).status == textio::SCAN_OK;
}

bool starts_with_number(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && textio::is_c_space(static_cast<unsigned char>(text[i]))) ++i;
  return textio::decimal_prefix_length(text.substr(i)) > 0 && converts_as_number(text.substr(i));
}

void field_cut(std::string_view& remainder, bool empty_without_separator) {
  const std::size_t cut = remainder.find_first_of(" \t");
  if (cut == std::string_view::npos) {
    if (empty_without_separator) remainder = {};
    return;
  }
  const std::size_t next = remainder.find_first_not_of(" \t", cut);
  remainder.remove_prefix(next == std::string_view::npos ? remainder.size() : next);
}

ColumnLayout detect_columns(std::string_view first_data_line) {
  // The line counts as far as a C string would reach.
  const std::size_t nul = first_data_line.find('\0');
  std::string line(first_data_line.substr(0, nul));
  // A right-aligned table starts its lines with blanks; they are not a field.
  const std::size_t first = line.find_first_not_of(" \t");
  line.erase(0, first == std::string::npos ? line.size() : first);
  // A separator behind the last value, even when the line has no line end.
  line.push_back('\t');

  std::string_view rest(line);
  // The date fields. A line of fewer than five fields has no value left.
  for (int i = 0; i < DATE_FIELDS; ++i) field_cut(rest, true);

  ColumnLayout layout{0, {}};
  for (;;) {
    const bool is_number = converts_as_number(rest);
    field_cut(rest, false);
    if (!is_number) break;
    ++layout.data_columns;
  }
  layout.rest.assign(rest);
  return layout;
}

int scan_header(TabsumRun& run) {
  int lines = 0;
  for (;;) {
    const bool got_line = run.input.read_line(run.line_buffer);
    if (run.input.read_failed()) fail_reading(run);
    if (!got_line) {
      throw failure(Failure::NO_DATA_LINE);
    }
    const std::size_t nul = run.line_buffer.find('\0');
    if (starts_with_number(std::string_view(run.line_buffer).substr(0, nul))) return lines;
    ++lines;
  }
}

void detect_layout(TabsumRun& run) {
  AggregationSettings& s = run.settings;
  const int header_lines = scan_header(run);
  if (s.headrows < 0) s.headrows = header_lines;
  if (s.headrows == 0) {
    run.console.put_int(0);
    run.console.put(" header rows..\n\n");
  }
  run.work_buffer.clear();
  if (!s.data_columns_given) {
    ColumnLayout layout = detect_columns(run.line_buffer);
    s.data_columns = layout.data_columns;
    run.work_buffer = std::move(layout.rest);
  }
  run.console.put_int(s.data_columns);
  run.console.put(" columns ");
  run.console.put(run.work_buffer);
  run.console.put('\n');
}

}  // namespace tabsum
