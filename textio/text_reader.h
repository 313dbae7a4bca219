// Buffered text-mode input with the semantics of C formatted input.
//
// Every input is delivered as Windows text mode would deliver it, on every
// platform: a CR directly before an LF is dropped, and a byte 0x1A ends the
// input. On top of that the reader offers the operations that C formatted
// input gives a program ("%d", "%lf", "%s", a whitespace skip, a line read
// and one character) with the same results, the same input position after a
// failed conversion and the same end-of-file indicator as the C library.
//
// Deliberate differences from the C library:
// - "%d" holds a value outside the range of int at INT_MIN or INT_MAX
//   (the C library leaves that case undefined).
// - Lines and words have no length limit.
// - An input that cannot be repositioned (a pipe, a FIFO, a terminal) can
//   still return to its start: the reader keeps the raw bytes it read before
//   the first return and replays them on that return and on any later one,
//   as long as nothing beyond them has been read. Once the input has gone
//   beyond them they are released, and a return to the start fails. Beyond
//   KEPT_IN_MEMORY bytes they are kept in a temporary file, and beyond
//   KEPT_AT_MOST bytes not at all (a device of zeros has no end).
// - A failed system read ends the input like its end, and read_failed()
//   tells the two apart (the C library's ferror).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "padded_number_scan.h"

namespace textio {

class OutputBuffer;

// The reader asks its source for blocks of this many bytes.
constexpr std::size_t READ_BLOCK_SIZE = 1 << 18;
// Raw bytes of an input that cannot be repositioned kept in memory for a
// return to its start; more go to a temporary file.
constexpr std::size_t KEPT_IN_MEMORY = 1 << 20;
// More than this is not kept: a later return to the start fails.
constexpr std::uint64_t KEPT_AT_MOST = std::uint64_t{1} << 26;

class TextReader {
 public:
  TextReader();
  ~TextReader();
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // Opens a file for reading; false when it cannot be opened.
  bool open(const std::string& path);
  // Reads the process's standard input.
  void attach_standard_input();
  // Reads from an in-memory text.
  void attach_text(std::string text);
  // Reads from an in-memory text as from a pipe, for tests: at most `chunk`
  // bytes (at least 1) per read, no repositioning, and every read fails once
  // `fail_after` bytes have been delivered.
  void attach_unseekable_text(std::string text, std::size_t chunk, std::size_t fail_after = SIZE_MAX);
  // Returns to the start of the input and clears the end-of-file indicator.
  // False when that is impossible (an input that cannot be repositioned and
  // has been read beyond its kept start, or a failed read before); the
  // reader then stays failed: every later read finds the end.
  bool rewind();
  // Closes the file; false when the system reports a failure.
  bool close();
  // The system's descriptor of the file, -1 without one.
  int descriptor() const { return fd_; }

  // Buffered output flushed before the reader waits for more input, so that
  // a prompt is visible before the program waits for its answer.
  void tie(OutputBuffer* out) { tie_ = out; }

  // The end-of-file indicator: set by the first operation that runs into
  // the end of the input, cleared only by rewind().
  bool eof() const { return eof_flag_; }
  // Set when a system read failed or a return to the start was impossible;
  // cleared by a successful rewind().
  bool read_failed() const { return read_failed_; }
  // The number of characters (after the text-mode translation) consumed
  // since the start of the input.
  std::uint64_t position() const { return discarded_ + pos_; }
  // Line numbers, for messages. Counting every line end as the input is
  // read would slow down reading a table by several per cent, so an input
  // that can return to its start is read again for them once it is done
  // with (line_numbers below), and only one that cannot has its line ends
  // counted as it goes, or one whose lines are asked for at any time:
  // count_lines(), before the input is opened or attached.
  bool counts_lines() const { return return_ != Return::SEEK || counting_lines_; }
  void count_lines() { counting_lines_ = true; }
  // The number of the line the current position is in, from 1, when
  // counts_lines(). It counts through the buffered characters each time.
  std::uint64_t line_number() const;
  // Returns to the start and reads up to each of the positions (characters
  // from the start, as position() gave them, in ascending order), setting
  // the number of the line each is in. False when the input cannot return
  // to its start or ends before a position; the reader is then used up.
  bool line_numbers(const std::uint64_t* positions, std::uint64_t* lines, std::size_t n);

  // The size of the file when it was opened; -1 for anything but a regular
  // file.
  long long size_at_open() const { return size_at_open_; }
  // The raw bytes the source delivered since the start of the input (or the
  // last return to it), and whether the source has said it has no more. A
  // file that shrank while it was read ends with fewer bytes than it had.
  std::uint64_t bytes_read() const { return source_bytes_; }
  bool source_ended() const { return source_ended_; }

  // "%d": skips white space, reads an optional sign and decimal digits.
  int scan_int(int& value) {
    if (const char* p = item_start()) {
      if (std::size_t taken = scan_padded_integer(p, value)) {
        pos_ = static_cast<std::size_t>(p - buf_.data()) + taken;
        return SCAN_OK;
      }
    }
    return scan_int_general(value);
  }
  // "%lf": skips white space, reads a floating-point number in any form the
  // C library accepts (decimal, hexadecimal, inf, infinity, nan).
  int scan_double(double& value) {
    if (const char* p = item_start(); p) {
      if (std::size_t taken = scan_padded_decimal(p, value)) {
        pos_ = static_cast<std::size_t>(p - buf_.data()) + taken;
        return SCAN_OK;
      }
    }
    return scan_double_general(value);
  }
  // Room behind the buffered characters: READ_SLACK bytes that can be
  // read, the first a NUL, so that the number fast paths stop there without
  // checking the length and may look at a few characters at once.
  static constexpr std::size_t READ_SLACK = 64;
  // For a caller that parses buffered text itself, as the conversions
  // above do: the characters from the current position on, followed by a
  // NUL behind the last buffered one (a NUL can also be one of them), and
  // READ_SLACK - 1 more bytes that may be read but mean nothing. Any item
  // that reaches that NUL is left to the conversions, which read on.
  const char* unread() const { return buf_.data() + pos_; }
  // Consumes the characters up to `p`, which points into what unread()
  // gave, at most to its closing NUL.
  void consume_to(const char* p) { pos_ = static_cast<std::size_t>(p - buf_.data()); }

  // "%s": skips white space, reads a word up to the next white space.
  int scan_word(std::string& word);
  // A blank or "\n" in a format: skips any run of white space.
  void skip_space();
  // fgets without a size limit: the characters up to and including the next
  // line end. Returns false when no character could be read.
  bool read_line(std::string& line);
  // read_line for a caller that must not hold a whole line: at most `limit`
  // characters (at least 1), so that a long line comes in pieces, the last
  // of them ending with the line end. Returns false when no character could
  // be read.
  bool read_line_piece(std::string& piece, std::size_t limit);
  // Discards the rest of the current line, its line end included.
  // Returns false when no character could be read.
  bool skip_line() {
    // Most often the line end is the next character: no search for it.
    if (!eof_flag_ && pos_ < end_ && buf_[pos_] == '\n') {
      ++pos_;
      return true;
    }
    return skip_line_general();
  }
  // fgetc: the next character as unsigned char, or -1 at the end.
  int get_char();

 private:
  std::size_t capacity() const { return buf_.size() - READ_SLACK; }
  const char* buffered_end() const { return buf_.data() + end_; }
  // The first character of the next item when it is already buffered (the
  // white space before it is passed over), or null.
  const char* item_start() {
    const char* p = buf_.data() + pos_;
    const char* const end = buffered_end();
    while (p < end && is_c_space(static_cast<unsigned char>(*p))) ++p;
    pos_ = static_cast<std::size_t>(p - buf_.data());
    return p < end ? p : nullptr;
  }
  int scan_int_general(int& value);
  int scan_double_general(double& value);
  bool skip_line_general();

  // Makes at least one more character available behind the buffered ones,
  // keeping the characters from `keep` on. Returns false at the end of input.
  bool fill(std::size_t& keep);
  // Raw bytes, replayed from the kept start where the input needs it; 0 at
  // the end and after a failed read.
  std::size_t read_raw(char* dst, std::size_t room);
  // Raw bytes from the file or the text; -1 on failure.
  long long read_source(char* dst, std::size_t room);
  bool skip_space_before_item();
  // Keeps raw bytes of an input that cannot be repositioned.
  void keep_raw(const char* bytes, std::size_t n);
  void clear_buffer();
  void drop_kept();
  void start_source(bool seekable);

  // How a return to the start is made.
  enum class Return {
    SEEK,       // the system repositions the input
    RECORDING,  // not repositionable: every raw byte read is kept
    REPLAYING,  // returned at least once: the kept bytes are read again
    NONE,       // the input went beyond the kept bytes, or was never kept
  };

  int fd_ = -1;
  bool owns_fd_ = false;
  bool from_text_ = false;
  std::string text_;
  std::size_t text_pos_ = 0;
  std::size_t text_chunk_ = 0;  // 0: no limit per read
  std::size_t text_fail_after_ = SIZE_MAX;

  Return return_ = Return::SEEK;
  std::vector<char> kept_;       // raw bytes read before the first return
  std::FILE* spill_ = nullptr;   // or, beyond KEPT_IN_MEMORY of them, this file
  std::uint64_t spilled_ = 0;    // bytes in it
  std::uint64_t spill_pos_ = 0;  // next byte of it to replay
  std::size_t kept_pos_ = 0;     // next kept byte to replay
  bool kept_is_whole_ = false;   // the input ended while it was kept
  bool read_failed_ = false;
  std::uint64_t discarded_ = 0;  // characters dropped from the front of buf_
  std::uint64_t lines_discarded_ = 0;  // line ends among them
  long long size_at_open_ = -1;
  std::uint64_t source_bytes_ = 0;
  bool source_ended_ = false;
  bool counting_lines_ = false;

  std::vector<char> buf_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool source_done_ = false;  // no more bytes will come from the source
  bool pending_cr_ = false;   // a CR ended the last raw block
  bool eof_flag_ = false;
  OutputBuffer* tie_ = nullptr;
};

}  // namespace textio
