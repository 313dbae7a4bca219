// The layout found in pieces of a line against the same done on whole
// lines: the header rows before the first line that starts with a number,
// the count of its value fields and the rest the columns line shows. The
// pieces are made as small as one character, so that every field, number
// and run of white space is cut somewhere.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "layout_detection.h"
#include "output_buffer.h"

namespace {

struct WholeLines {
  bool found = false;
  int header_lines = 0;
  tabsum::ColumnLayout layout{0, {}};
};

// The twin: whole lines, the way the header scan read them before, of the
// text as text mode reads it (CR LF as LF).
WholeLines scan_whole_lines(const std::string& raw) {
  std::string text;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')) text += raw[i];
  }
  WholeLines w;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t nl = text.find('\n', start);
    const std::size_t end = nl == std::string::npos ? text.size() : nl + 1;
    const std::string_view line = std::string_view(text).substr(start, end - start);
    if (tabsum::starts_with_number(line.substr(0, line.find('\0')))) {
      w.found = true;
      w.layout = tabsum::detect_columns(line);
      return w;
    }
    ++w.header_lines;
    start = end;
  }
  return w;
}

struct InPieces {
  bool found = false;
  int header_lines = 0;
  int columns = 0;
  std::string rest;
};

InPieces scan_in_pieces(const std::string& text, std::size_t piece_size, bool seekable) {
  textio::OutputBuffer console;
  tabsum::TabsumRun run(console);
  if (seekable) {
    run.input.attach_text(text);
  } else {
    run.input.attach_unseekable_text(text, 3);
  }
  tabsum::LayoutScan scan;
  tabsum::scan_layout(run, scan, piece_size);
  InPieces p;
  p.found = scan.data_line_found;
  p.header_lines = scan.header_lines;
  p.columns = scan.data_columns;
  std::string_view part;
  if (p.found) {
    while (tabsum::next_rest_part(scan.cursor, part)) p.rest.append(part);
  }
  return p;
}

void expect_same(const std::string& text, std::size_t piece_size, bool seekable = true) {
  const WholeLines w = scan_whole_lines(text);
  const InPieces p = scan_in_pieces(text, piece_size, seekable);
  const std::string shown = ::testing::PrintToString(text.substr(0, 120)) + " (" + std::to_string(text.size()) +
                            " characters) in pieces of " + std::to_string(piece_size);
  ASSERT_EQ(p.found, w.found) << shown;
  EXPECT_EQ(p.header_lines, w.header_lines) << shown;
  if (!w.found) return;
  EXPECT_EQ(p.columns, w.layout.data_columns) << shown;
  EXPECT_EQ(p.rest, w.layout.rest) << shown;
}

const char* const TABLES[] = {
    "YY MM DD HH a b\n2019 1 1 0 1.0 2.0\n",
    "2019 1 1 0 1.0 2.0 x 3.0\n",
    "head\n\n2019 1 1 0 1.0 abc 2.0\n",
    "2019 1\t1 \t\t0  5.0\t6.0\n",
    "2019 1 1 0 1.0 2.0 \t \n",
    "2019 1 1 0 1.0 2.0",
    "2019 1 1 0 12abc -5 .5 nan inf\n",
    "2019 1 1 0 1.5 0x 2.0\n",
    "2019 1 1 0\n",
    "2019\n",
    "2019 1 1 0 x\n",
    "   2019 1 1 0 1.0 2.0\n",
    "\t 2019\t1\t1\t0\t7\n",
    "Aare basin\n.5 mm rain threshold\n2019 1 1 0 1.0\n",
    "Info: gauge\nNaN = gap\n-5 x\n",
    "no data line at all\n",
    "",
    "\n\n\n",
    "2019 1 1 0 1.0 \r 2.0\n",           // white space that is no separator
    "2019 1 1 0 \v\f\r 2.0 x\n",
    "2019 1 1 0 1.0\r\r\n",
    "\r\r2019 1 1 0 1.0\n",
    "\v2019 1 1 0 5.0 6.0\n",
    "2019 1 1 0 -\n",
    "2019 1 1 0 1e 2.5e+3 -.5E-2 +7\n",
    "2019 1 1 0 123456789012345678901234567890123456789012345678901234567890123456789 2\n",
    "STATIONS_ID;MESS_DATUM;QN_8;  R1;RS_IND;WRTR;eor\n       1303;2017040101;    3;   0.0;   0;-999;eor\n",
    "433;2017040101;3;0.0;0;-999;eor\n",
};

TEST(LayoutInPieces, AgreesWithWholeLinesOnEdgeCases) {
  for (const char* table : TABLES) {
    for (std::size_t piece : {1u, 2u, 3u, 5u, 8u, 64u, 1u << 16}) expect_same(table, piece);
  }
}

TEST(LayoutInPieces, AgreesWithWholeLinesWhereLinesHoldANul) {
  const std::string tables[] = {
      std::string("2019 1 1 0 1.0\0 2.0 3.0\n", 25),
      std::string("x\0 5\n2019 1 1 0 4.0\n", 20),
      std::string("  \0 7\n2019 1 1 0 4.0 5.0\n", 25),
      std::string("2019 1 1 0 1.0 x\0yz\n", 20),
  };
  for (const std::string& text : tables) {
    for (std::size_t piece : {1u, 2u, 7u, 1u << 16}) expect_same(text, piece);
  }
}

TEST(LayoutInPieces, AgreesWithWholeLinesOnAnUnseekableInput) {
  for (const char* table : TABLES) {
    for (std::size_t piece : {1u, 4u, 1u << 16}) expect_same(table, piece, false);
  }
}

// Random lines of the characters that matter: digits, signs, points,
// exponents, letters, blanks, tabs, the other white space, line ends.
TEST(LayoutInPieces, AgreesWithWholeLinesOnRandomText) {
  std::mt19937 random(18);
  const std::string alphabet = "0123456789012345.-+eExn \t \t  \r\v\f\n";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 80);
  std::uniform_int_distribution<int> piece(1, 9);
  for (int i = 0; i < 3000; ++i) {
    std::string text = i % 2 ? "" : "2019 1 1 0 ";
    for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
    expect_same(text, static_cast<std::size_t>(piece(random)));
    if (::testing::Test::HasFailure()) return;
  }
}

// Lines far longer than a piece: many fields, one long number, a long
// run of blanks, a long header line, a long text behind the last value.
TEST(LayoutInPieces, AgreesWithWholeLinesOnLongLines) {
  std::string many = "2019 1 1 0";
  for (int i = 0; i < 20000; ++i) many += "\t0.0";
  const std::string long_number = "2019 1 1 0 " + std::string(100000, '7') + " 1.0\n";
  const std::string blanks = "2019 1 1 0 1.0" + std::string(100000, ' ') + "2.0\n";
  const std::string header = std::string(100000, 'h') + "\n" + std::string(70000, ' ') + "2019 1 1 0 1.0\n";
  const std::string tail = "2019 1 1 0 1.0 x " + std::string(100000, 'y') + "\n";
  for (const std::string& text : {many + "\n", many, long_number, blanks, header, tail}) {
    for (std::size_t piece : {1000u, 4096u, 1u << 16}) expect_same(text, piece);
  }
}

}  // namespace
