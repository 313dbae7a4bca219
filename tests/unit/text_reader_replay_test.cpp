// Inputs that cannot be repositioned: the reader replays the bytes it read
// before its first return to the start, and a read that fails is told apart
// from the end of the input.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "text_reader.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

using textio::READ_BLOCK_SIZE;
using textio::TextReader;

// A few operations as the tools use them, written as letters:
// L read a line, S skip a line, W a word, D a number, I an integer,
// R return to the start. Each result is appended to a transcript.
std::string run_script(TextReader& r, const std::string& script) {
  std::string out;
  for (char op : script) {
    std::string text;
    out += op;
    switch (op) {
      case 'L':
      case 'W': {
        const bool ok = op == 'L' ? r.read_line(text) : r.scan_word(text) == textio::SCAN_OK;
        out.append(ok ? "[" : "-").append(ok ? text : "").append(ok ? "]" : "");
        break;
      }
      case 'S': out += r.skip_line() ? "" : "-"; break;
      case 'D': {
        double v = 0.0;
        const int ret = r.scan_double(v);
        out += ret == textio::SCAN_OK ? std::to_string(v) : std::to_string(ret);
        break;
      }
      case 'I': {
        int v = 0;
        const int ret = r.scan_int(v);
        out += std::to_string(ret == textio::SCAN_OK ? v : ret);
        break;
      }
      case 'R': out += r.rewind() ? "" : "-"; break;
    }
    out += r.eof() ? "e " : " ";
  }
  std::string rest;
  for (int c; (c = r.get_char()) != -1;) rest += static_cast<char>(c);
  return out + "|" + rest;
}

std::string big_input() {
  // A header line that crosses the first block boundary, CR LF line ends
  // and numbers that stand on both sides of the second one.
  std::string s = "title " + std::string(READ_BLOCK_SIZE + 10, 'x') + "\r\n";
  s += "YY MM DD HH 5 6\r\n";
  while (s.size() < 2 * READ_BLOCK_SIZE + 100) s += "2019 1 1 1 12.5 -999\r\n";
  return s;
}

TEST(TextReaderReplay, ReturnsToTheStartAsARegularFileWould) {
  const struct {
    const char* what;
    std::string text;
    const char* script;
  } cases[] = {
      {"the layout scan of a table", "h1\nh2\n2019 1 1 0 1.0 2.0\n2019 1 1 1 3 4\n", "LLLRLLIIIIDD"},
      {"the header of a station file read three times",
       "t\nYY\tMM\tDD\tHH\t1\nYY MM DD HH 2\nYY MM DD HH 3\nYY MM DD HH A\n1998 6 1 1 0.5\n",
       "LLWWWWWWWWWWWWWWWLRRSSSSSRSSSSSIIIID"},
      {"CR LF line ends", "a\r\nb\r\n\r\n7\r\n", "LLRLLLIL"},
      {"a CR before the end", "a\r", "LRL"},
      {"text mode ends at 0x1A", "a\nb\x1a" "c\n", "LLRLL"},
      {"an input that ends while it is kept", "1 2 3", "IIIIRIIIRRI"},
      {"an empty input", "", "LRL"},
      {"a return before anything was read", "a\nb\nc\n", "RLLRLLRL"},
      {"a long first line across blocks", big_input(), "SLRSLIIIIDDRL"},
      // More than is kept in memory: the kept bytes go to a temporary file.
      {"a header longer than is kept in memory",
       std::string(3 * textio::KEPT_IN_MEMORY, 'h') + "\r\n" + big_input(), "SSLRSSLIIIIDDRSL"},
  };
  for (const auto& c : cases) {
    TextReader seekable;
    seekable.attach_text(c.text);
    const std::string expected = run_script(seekable, c.script);
    for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, std::size_t{4096},
                              std::size_t{1} << 20}) {
      // Chunks of one byte would take minutes for the long input.
      if (c.text.size() > READ_BLOCK_SIZE && chunk < 4096) continue;
      TextReader pipe;
      pipe.attach_unseekable_text(c.text, chunk);
      EXPECT_EQ(run_script(pipe, c.script), expected) << c.what << ", chunks of " << chunk;
      EXPECT_FALSE(pipe.read_failed()) << c.what;
    }
  }
}

TEST(TextReaderReplay, AReturnAfterReadingBeyondTheKeptStartFails) {
  // Reads of four bytes: the first line read takes "a\nb\n" from the pipe,
  // and that is what is kept for the return.
  TextReader r;
  r.attach_unseekable_text("a\nb\nc\nd\n", 4);
  std::string line;
  ASSERT_TRUE(r.read_line(line));
  ASSERT_TRUE(r.rewind());
  ASSERT_TRUE(r.read_line(line));
  ASSERT_TRUE(r.read_line(line));
  EXPECT_EQ(line, "b\n");
  // Only kept bytes were read: another return works.
  ASSERT_TRUE(r.rewind());
  EXPECT_EQ(run_script(r, "LLL"), "L[a\n] L[b\n] L[c\n] |d\n");
  EXPECT_FALSE(r.read_failed());
  // "c\n" came from beyond the kept bytes, which are gone now.
  EXPECT_FALSE(r.rewind());
  EXPECT_TRUE(r.read_failed());
  EXPECT_FALSE(r.read_line(line));
  EXPECT_TRUE(r.eof());
  EXPECT_FALSE(r.rewind());

  // Kept bytes that turn out to be the whole input: nothing lies beyond them.
  r.attach_unseekable_text("a\nb\n", 4);
  ASSERT_TRUE(r.read_line(line));
  ASSERT_TRUE(r.rewind());
  EXPECT_EQ(run_script(r, "LLL"), "L[a\n] L[b\n] L-e |");
  EXPECT_TRUE(r.rewind());
  EXPECT_EQ(run_script(r, "L"), "L[a\n] |b\n");
}

TEST(TextReaderReplay, AFailedReadIsNotTheEnd) {
  const struct {
    const char* script;
    std::size_t fail_after;
    const char* expected;
  } cases[] = {
      // A number cut by the failure converts as far as it came, as at the end.
      {"IID", 9, "I12 I34 D5.000000e |"},
      {"LL", 3, "L[ab\n] L-e |"},
      {"W", 0, "W-e |"},
      // Up to the failure everything reads as usual.
      {"II", 100, "I12 I34 |  5.5\n"},
  };
  for (const auto& c : cases) {
    for (const bool one_read : {false, true}) {
      TextReader r;
      const std::string text = c.script[0] == 'L' ? "ab\ncd\n" : "12 34  5.5\n";
      r.attach_unseekable_text(text, one_read ? 1000 : 2, c.fail_after);
      EXPECT_EQ(run_script(r, c.script), c.expected) << c.script << " " << c.fail_after;
      EXPECT_EQ(r.read_failed(), c.fail_after < text.size()) << c.script << " " << c.fail_after;
    }
  }
  // A failure while the start is kept leaves nothing to return to.
  TextReader r;
  r.attach_unseekable_text("1 2 3\n", 2, 3);
  int v = 0;
  EXPECT_EQ(r.scan_int(v), textio::SCAN_OK);
  EXPECT_EQ(r.scan_int(v), textio::SCAN_OK);
  EXPECT_EQ(r.scan_int(v), textio::SCAN_INPUT_FAILURE);
  EXPECT_TRUE(r.read_failed());
  EXPECT_FALSE(r.rewind());
}

TEST(TextReaderReplay, PositionCountsTheCharactersConsumed) {
  TextReader r;
  r.attach_unseekable_text(big_input(), 1000);
  ASSERT_TRUE(r.skip_line());
  EXPECT_EQ(r.position(), READ_BLOCK_SIZE + 17);  // CR LF reads as one character
  int v = 0;
  ASSERT_EQ(r.scan_int(v), textio::SCAN_NO_MATCH);
  EXPECT_EQ(r.position(), READ_BLOCK_SIZE + 17);
  ASSERT_TRUE(r.rewind());
  EXPECT_EQ(r.position(), 0u);
}

#ifndef _WIN32
TEST(TextReaderReplay, ARealPipeOpenedByName) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string text = big_input();
  std::thread writer([&] {
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = write(fds[1], text.data() + done, text.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    close(fds[1]);
  });
  TextReader r;
  const bool opened = r.open("/dev/fd/" + std::to_string(fds[0]));
  std::string seen;
  if (opened) {
    std::string line;
    r.read_line(line);
    r.read_line(line);
    EXPECT_EQ(line, "YY MM DD HH 5 6\n");
    EXPECT_TRUE(r.rewind());
    for (int c; (c = r.get_char()) != -1;) seen += static_cast<char>(c);
    EXPECT_FALSE(r.read_failed());
    r.close();
  }
  writer.join();
  close(fds[0]);
  ASSERT_TRUE(opened);
  TextReader plain;
  plain.attach_text(text);
  std::string expected;
  for (int c; (c = plain.get_char()) != -1;) expected += static_cast<char>(c);
  EXPECT_TRUE(seen == expected) << "replayed " << seen.size() << " characters of " << expected.size();
}
#endif

TEST(TextReaderReplay, ADirectoryCannotBeOpened) {
  TextReader r;
  EXPECT_FALSE(r.open(::testing::TempDir()));
  EXPECT_FALSE(r.open("."));
}

}  // namespace
