// The reader's lines in pieces, its line numbers and what it tells of the
// file's size: what tabsum needs to hold only part of a long line, to name
// the lines of its warnings and to see a file that shrank.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "text_reader.h"

namespace {

TEST(TextReaderPieces, ALineComesInPiecesOfTheLimit) {
  textio::TextReader in;
  in.attach_unseekable_text("abcdefg\nhi\r\n\nxyz", 2);
  std::string piece;
  std::vector<std::string> pieces;
  while (in.read_line_piece(piece, 3)) pieces.push_back(piece);
  const std::vector<std::string> expected = {"abc", "def", "g\n", "hi\n", "\n", "xyz"};
  EXPECT_EQ(pieces, expected);
  EXPECT_TRUE(in.eof());
}

TEST(TextReaderPieces, ALongLineNeedsNoMoreThanAPiece) {
  textio::TextReader in;
  in.attach_text(std::string(3 << 20, 'x') + "\n5\n");
  std::string piece;
  std::size_t total = 0;
  std::size_t largest = 0;
  while (in.read_line_piece(piece, 1000)) {
    total += piece.size();
    largest = std::max(largest, piece.capacity());
    if (piece.back() == '\n') break;
  }
  EXPECT_EQ(total, (3u << 20) + 1);
  EXPECT_LT(largest, 4096u);
  ASSERT_TRUE(in.read_line_piece(piece, 1000));
  EXPECT_EQ(piece, "5\n");
}

// Positions of the lines' first characters, and of characters inside them,
// after a CR LF, a lone CR and blank lines, across many blocks.
TEST(TextReaderLines, LineNumbersOfPositions) {
  std::string text;
  std::vector<std::uint64_t> positions;
  std::vector<std::uint64_t> lines;
  std::uint64_t position = 0;
  for (int line = 1; line <= 40000; ++line) {
    const std::string body = line % 7 == 0 ? "" : "row " + std::to_string(line) + (line % 5 ? "" : "\rx");
    if (line % 997 == 0) {
      positions.push_back(position + body.size() / 2);
      lines.push_back(static_cast<std::uint64_t>(line));
    }
    text += body + (line % 3 ? "\n" : "\r\n");
    position += body.size() + 1;  // CR LF reads as one character
  }
  for (bool seekable : {true, false}) {
    textio::TextReader in;
    if (seekable) {
      in.attach_text(text);
    } else {
      in.attach_unseekable_text(text, 4093);
    }
    EXPECT_EQ(in.counts_lines(), !seekable);
    std::vector<std::uint64_t> found(positions.size());
    if (seekable) {
      // Read to the end first, as the run does.
      while (in.skip_line()) {
      }
      ASSERT_TRUE(in.line_numbers(positions.data(), found.data(), positions.size()));
    } else {
      std::string piece;
      for (std::size_t i = 0; i < positions.size(); ++i) {
        while (in.position() < positions[i]) ASSERT_NE(in.get_char(), -1);
        found[i] = in.line_number();
      }
    }
    EXPECT_EQ(found, lines) << (seekable ? "seekable" : "unseekable");
  }
}

TEST(TextReaderLines, APositionBehindTheEndHasNoLine) {
  textio::TextReader in;
  in.attach_text("a\nb\n");
  const std::uint64_t positions[] = {1, 9};
  std::uint64_t lines[2] = {};
  EXPECT_FALSE(in.line_numbers(positions, lines, 2));
  EXPECT_EQ(lines[0], 1u);
}

TEST(TextReaderSize, AFileThatShrankIsSeen) {
#ifdef _WIN32
  GTEST_SKIP() << "a file held open for reading is not cut on Windows";
#endif
  const std::string path = ::testing::TempDir() + "reader_shrinking.txt";
  {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < 200000; ++i) out << "2017 4 1 1 0.0 0.0\n";
  }
  const auto size = static_cast<long long>(std::filesystem::file_size(path));
  textio::TextReader in;
  ASSERT_TRUE(in.open(path));
  EXPECT_EQ(in.size_at_open(), size);
  std::string line;
  ASSERT_TRUE(in.read_line(line));
  // Another program cuts the file to a tenth while it is read.
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size / 10));
  while (in.skip_line()) {
  }
  EXPECT_TRUE(in.source_ended());
  EXPECT_LT(in.bytes_read(), static_cast<std::uint64_t>(size));
  in.close();

  // Read whole, it is as large as it was.
  ASSERT_TRUE(in.open(path));
  while (in.skip_line()) {
  }
  EXPECT_TRUE(in.source_ended());
  EXPECT_EQ(in.bytes_read(), static_cast<std::uint64_t>(in.size_at_open()));
  in.close();
  std::remove(path.c_str());
}

TEST(TextReaderSize, OnlyARegularFileHasASize) {
  textio::TextReader in;
  in.attach_text("abc");
  EXPECT_EQ(in.size_at_open(), -1);
  in.attach_unseekable_text("abc", 1);
  EXPECT_EQ(in.size_at_open(), -1);
}

}  // namespace
