// Detection of a table's layout: the header rows before the first line that
// starts with a number, and the number of value columns of that line.
#pragma once

#include <string>
#include <string_view>

#include "aggregation_settings.h"

namespace tabsum {

// True when "%lf" converts a number at the start of the text (white space,
// line ends included, is skipped first). A value field that counts as a data
// column is one that the reading of the rows will take.
bool converts_as_number(std::string_view text);

// True when a line starts the table's data: "%lf" converts a number at its
// start and that number is written as a decimal one. A header line that
// starts with a word such as "Info", "Inflow" or "NaN", which "%lf" alone
// would take for infinity or not-a-number, stays a header row.
bool starts_with_number(std::string_view text);

// Removes one field from the front of the remainder: up to the nearer of
// the first blank and the first tab, then over the run of blanks and tabs
// that follows. Without a blank or tab the remainder is emptied when
// `empty_without_separator` is set and left as it is otherwise.
void field_cut(std::string_view& remainder, bool empty_without_separator);

struct ColumnLayout {
  int data_columns;
  std::string rest;  // the remainder behind the field at which the count stopped
};

// Counts the value fields of a first data line (its line end included).
ColumnLayout detect_columns(std::string_view first_data_line);

// Reads lines from the start of the input until one starts with a number;
// it stays in run.line_buffer. Returns the number of lines before it.
// Ends the run when no such line exists.
int scan_header(TabsumRun& run);

// Header rows, the columns line and the settings that depend on the layout.
void detect_layout(TabsumRun& run);

}  // namespace tabsum
