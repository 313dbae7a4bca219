// Detection of a table's layout: the header rows before the first line that
// starts with a number, and the number of value columns of that line.
#pragma once

#include <cstddef>
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
// The whole line at once: the twin of the count in pieces below.
ColumnLayout detect_columns(std::string_view first_data_line);

// Lines are read in pieces of this many characters, so that a line of any
// length, or an input without a line end, takes no more memory than that.
inline constexpr std::size_t LAYOUT_PIECE_SIZE = 1 << 16;
// A run of white space in front of a number is held up to this length;
// what goes beyond it is dropped. Only a first data line with such a run
// (a megabyte of white space) is then counted differently.
inline constexpr std::size_t WHITE_SPACE_HELD = 1 << 20;

// The first data line as column detection sees it: the line up to its
// first NUL, without its leading blanks and tabs, with a tab behind it
// (as a separator behind the last value, also without a line end). It is
// read in pieces; `window` holds what has been read and not passed over.
struct DataLineCursor {
  textio::TextReader* in = nullptr;
  std::size_t piece_size = LAYOUT_PIECE_SIZE;
  std::string window;
  std::size_t at = 0;       // the next character in `window`
  bool line_read = false;   // the line is all in `window` or passed, its tab included
  std::string piece;
};

struct LayoutScan {
  bool data_line_found = false;
  int header_lines = 0;
  int data_columns = 0;  // as counted, when they are not given
  // Behind the field at which the count stopped: the rest of the line is
  // what the columns line shows.
  DataLineCursor cursor;
};

// The header scan and, unless data columns are given, the count of the
// value fields, from the start of the input. Lines are taken in pieces of
// `piece_size` characters. Ends nothing: a failed read and a missing data
// line are reported by report_layout.
void scan_layout(TabsumRun& run, LayoutScan& scan, std::size_t piece_size = LAYOUT_PIECE_SIZE);

// The count in pieces alone, on a cursor at the start of a first data line.
int count_columns(DataLineCursor& cursor);

// The rest of the data line behind the cursor, part by part: false when
// nothing is left. Each part stays valid until the next call.
bool next_rest_part(DataLineCursor& cursor, std::string_view& part);

// The settings that depend on the layout, the header-rows line and the
// columns line; ends the run when the scan found no data line or failed.
void report_layout(TabsumRun& run, LayoutScan& scan);

}  // namespace tabsum
