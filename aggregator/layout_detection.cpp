#include "layout_detection.h"

#include <algorithm>
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

namespace {

// Appends the next piece of the line to the window; false when the line is
// all read. The characters passed over are dropped first, so that the
// window holds little more than a piece beside what is looked ahead at.
bool pull(DataLineCursor& c) {
  if (c.line_read) return false;
  if (c.at >= c.piece_size) {
    c.window.erase(0, c.at);
    c.at = 0;
  }
  if (!c.in->read_line_piece(c.piece, c.piece_size)) {
    c.window.push_back('\t');
    c.line_read = true;
    return true;
  }
  // The line counts as far as a C string would reach.
  const std::size_t nul = c.piece.find('\0');
  c.window.append(c.piece, 0, nul);
  if (nul != std::string::npos || c.piece.back() == '\n') {
    c.window.push_back('\t');
    c.line_read = true;
  }
  return true;
}

// The character `ahead` characters behind the cursor, reading on as
// needed; NUL behind the end of the line (the line holds none). Reading on
// may move the window, never the characters from the cursor on.
char peek(DataLineCursor& c, std::size_t ahead) {
  while (c.at + ahead >= c.window.size()) {
    if (!pull(c)) return '\0';
  }
  return c.window[c.at + ahead];
}

bool is_separator(char ch) { return ch == ' ' || ch == '\t'; }

// field_cut in pieces: up to the next blank or tab, then over the run of
// blanks and tabs. At the end of the line the remainder is empty, as the
// cut of the whole line leaves it (its last character is the tab).
void cut(DataLineCursor& c) {
  for (char ch = peek(c, 0); ch != '\0' && !is_separator(ch); ch = peek(c, 0)) ++c.at;
  for (char ch = peek(c, 0); is_separator(ch); ch = peek(c, 0)) ++c.at;
}

// converts_as_number on the remainder: white space is passed over (held in
// the window, up to WHITE_SPACE_HELD), then the number is recognised from
// its first characters.
bool converts(DataLineCursor& c) {
  constexpr std::size_t NUMBER_START = 64;  // far more than a number needs to be recognised
  std::size_t k = 0;
  for (char ch = peek(c, k); ch != '\0' && textio::is_c_space(static_cast<unsigned char>(ch)); ch = peek(c, k)) {
    if (k >= WHITE_SPACE_HELD) {
      c.window.erase(c.at + WHITE_SPACE_HELD / 2, k - WHITE_SPACE_HELD / 2);
      k = WHITE_SPACE_HELD / 2;
    }
    ++k;
  }
  peek(c, k + NUMBER_START - 1);
  if (c.at + k >= c.window.size()) return false;
  const std::size_t n = std::min(NUMBER_START, c.window.size() - c.at - k);
  double value = 0.0;
  return textio::scan_double_at(c.window.data() + c.at + k, n, true, value).status == textio::SCAN_OK;
}

}  // namespace

int count_columns(DataLineCursor& c) {
  // A right-aligned table starts its lines with blanks; they are not a field.
  for (char ch = peek(c, 0); is_separator(ch); ch = peek(c, 0)) ++c.at;
  for (int i = 0; i < DATE_FIELDS; ++i) cut(c);
  int columns = 0;
  for (;;) {
    const bool is_number = converts(c);
    cut(c);
    if (!is_number) break;
    ++columns;
  }
  return columns;
}

bool next_rest_part(DataLineCursor& c, std::string_view& part) {
  while (c.at == c.window.size()) {
    if (!pull(c)) return false;
  }
  part = std::string_view(c.window).substr(c.at);
  c.at = c.window.size();
  return true;
}

void scan_layout(TabsumRun& run, LayoutScan& scan, std::size_t piece_size) {
  textio::TextReader& in = run.input;
  std::string& line = scan.cursor.window;  // the start of the line read so far
  std::string& piece = scan.cursor.piece;
  for (;;) {
    if (!in.read_line_piece(line, piece_size)) return;
    // Its leading white space, which can run over several pieces.
    std::size_t i = 0;
    for (;;) {
      while (i < line.size() && textio::is_c_space(static_cast<unsigned char>(line[i]))) ++i;
      if (i < line.size() || line.back() == '\n' || !in.read_line_piece(piece, piece_size)) break;
      if (line.size() >= WHITE_SPACE_HELD) {
        line.erase(WHITE_SPACE_HELD / 2);
        i = line.size();
      }
      line += piece;
    }
    // Enough of the line to tell whether it starts with a number.
    while (line.size() - i < 64 && line.back() != '\n' && in.read_line_piece(piece, piece_size)) line += piece;
    const std::size_t nul = line.find('\0');
    if (starts_with_number(std::string_view(line).substr(0, nul))) break;
    ++scan.header_lines;
    if (line.back() != '\n') in.skip_line();
  }
  scan.data_line_found = true;
  if (run.settings.data_columns_given) return;
  // The line read so far goes to the cursor through its pieces.
  DataLineCursor& c = scan.cursor;
  c.in = &in;
  c.piece_size = piece_size;
  c.at = 0;
  const std::size_t nul = line.find('\0');
  if (nul != std::string::npos) {
    line.erase(nul);
    line.push_back('\t');
    c.line_read = true;
  } else if (line.back() == '\n') {
    line.push_back('\t');
    c.line_read = true;
  }
  scan.data_columns = count_columns(c);
}

void report_layout(TabsumRun& run, LayoutScan& scan) {
  AggregationSettings& s = run.settings;
  if (run.input.read_failed()) fail_reading(run);
  if (!scan.data_line_found) throw failure(Failure::NO_DATA_LINE);
  if (s.headrows < 0) s.headrows = scan.header_lines;
  if (s.headrows == 0) {
    run.console.put_int(0);
    run.console.put(" header rows..\n\n");
  }
  if (!s.data_columns_given) s.data_columns = scan.data_columns;
  run.console.put_int(s.data_columns);
  run.console.put(" columns ");
  if (!s.data_columns_given) {
    std::string_view part;
    while (next_rest_part(scan.cursor, part)) run.console.put(part);
    if (run.input.read_failed()) fail_reading(run);
  }
  run.console.put('\n');
}

}  // namespace tabsum
