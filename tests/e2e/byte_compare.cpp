#include "byte_compare.h"

#include <sstream>

#include "runner_support.h"

namespace e2e {
namespace {

// Longest piece of a line shown in a report; longer lines are shown as a
// window around the first differing byte.
constexpr std::size_t SHOWN_LINE_BYTES = 160;
constexpr std::size_t SHOWN_BEFORE_DIFF = 60;

// The line of `text` that holds byte `offset` (line end included), cut to a
// window around `offset` when it is long.
std::string shown_line(const std::string& text, std::size_t line_start, std::size_t offset) {
  if (line_start >= text.size()) return "<end of data>";
  std::size_t line_end = text.find('\n', line_start);
  line_end = line_end == std::string::npos ? text.size() : line_end + 1;
  std::size_t from = line_start;
  std::size_t to = line_end;
  bool cut_front = false;
  bool cut_back = false;
  if (to - from > SHOWN_LINE_BYTES) {
    if (offset > from + SHOWN_BEFORE_DIFF) {
      from = offset - SHOWN_BEFORE_DIFF;
      cut_front = true;
    }
    if (to - from > SHOWN_LINE_BYTES) {
      to = from + SHOWN_LINE_BYTES;
      cut_back = true;
    }
  }
  std::ostringstream shown;
  if (cut_front) shown << "...";
  shown << '"' << escape_bytes(text.substr(from, to - from)) << '"';
  if (cut_back) shown << "...";
  shown << " (line of " << line_end - line_start << " bytes)";
  return shown.str();
}

}  // namespace

void compare_bytes(const std::string& what, const std::string& expected, const std::string& actual,
                   Report& report) {
  if (expected == actual) return;
  std::size_t offset = 0;
  while (offset < expected.size() && offset < actual.size() && expected[offset] == actual[offset]) {
    ++offset;
  }
  std::size_t line_number = 1;
  std::size_t line_start = 0;
  for (std::size_t i = 0; i < offset; ++i) {
    if (expected[i] == '\n') {
      ++line_number;
      line_start = i + 1;
    }
  }
  std::ostringstream text;
  text << what << " differs at line " << line_number << ", byte offset " << offset
       << " (column " << offset - line_start + 1 << "); expected " << expected.size()
       << " bytes, got " << actual.size() << " bytes\n"
       << "    expected: " << shown_line(expected, line_start, offset) << "\n"
       << "    actual:   " << shown_line(actual, line_start, offset);
  report.add(text.str());
}

}  // namespace e2e
