// The reader's line numbers: counted from the line ends it drops from its
// buffer and those still in it, so that they stay right far into an input,
// through CR LF line ends and across returns to the start.
#include <gtest/gtest.h>

#include <string>

#include "text_reader.h"

namespace {

// 100000 lines "<n> x\n": far more than one block of the reader.
std::string numbered_lines(const char* end) {
  std::string text;
  for (int n = 1; n <= 100000; ++n) text += std::to_string(n) + " x" + end;
  return text;
}

TEST(TextReaderCountedLines, TheLineOfEachItemFarIntoTheInput) {
  for (const char* end : {"\n", "\r\n"}) {
    for (const bool pipe : {false, true}) {
      textio::TextReader reader;
      reader.count_lines();
      if (pipe) {
        reader.attach_unseekable_text(numbered_lines(end), 4093);
      } else {
        reader.attach_text(numbered_lines(end));
      }
      std::string word;
      for (int n = 1; n <= 100000; ++n) {
        int value = 0;
        ASSERT_EQ(reader.scan_int(value), textio::SCAN_OK);
        // line() counts the buffered text: asked now and then, as messages do.
        if (n % 997 == 0 || n == 1) {
          ASSERT_EQ(reader.line_number(), static_cast<std::uint64_t>(n)) << "at " << n << (pipe ? " from a pipe" : "");
        }
        ASSERT_EQ(value, n);
        ASSERT_EQ(reader.scan_word(word), textio::SCAN_OK);
      }
      reader.skip_space();
      EXPECT_EQ(reader.line_number(), 100001u);  // behind the last line end
    }
  }
}

TEST(TextReaderCountedLines, AReturnToTheStartCountsAgainFromOne) {
  textio::TextReader reader;
  reader.count_lines();
  reader.attach_text(numbered_lines("\n"));
  std::string line;
  for (int n = 0; n < 70000; ++n) reader.read_line(line);
  EXPECT_EQ(reader.line_number(), 70001u);
  ASSERT_TRUE(reader.rewind());
  EXPECT_EQ(reader.line_number(), 1u);
  reader.read_line(line);
  EXPECT_EQ(reader.line_number(), 2u);
}

}  // namespace
