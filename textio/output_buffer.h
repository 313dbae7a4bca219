// Output composed in a buffer and written to its stream in large blocks.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace textio {

class OutputBuffer {
 public:
  // Without a stream the text is kept and can be taken with take_captured().
  explicit OutputBuffer(std::FILE* sink = nullptr, std::size_t capacity = 1 << 16);
  ~OutputBuffer();
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  // Creates or empties a file in text mode and writes to it from now on;
  // false when it cannot be opened.
  bool open_file(const std::string& path);
  bool has_file() const { return owns_sink_; }
  // Writes the rest and closes the file; false when any write or the close
  // failed, so that a full disk is not taken for success.
  bool close_file();
  // On a terminal every line (and every explicit flush_if_interactive) is
  // written at once, so that progress is seen as it happens.
  void set_interactive(bool on) { interactive_ = on; }

  void put(char c) {
    if (used_ == buf_.size()) flush();
    buf_[used_++] = c;
    if (interactive_ && c == '\n') flush();
  }
  void put(std::string_view s);
  void put_int(long long v);
  void put_int(long long v, int width);                // "%<width>d"
  void put_fixed(double v, int precision);             // "%.<precision>f"
  void put_fixed(double v, int precision, int width);  // "%<width>.<precision>f"
  void put_general(double v, int precision);           // "%.<precision>g"
  void put_one_decimal(double v);                      // "%.1f"

  void flush();
  void flush_if_interactive() {
    if (interactive_) flush();
  }
  // A write to the stream failed since the buffer was made (or the sink
  // was last set). From then on nothing more is written to it: what is
  // put is dropped, so that a run can go on to its end.
  bool write_failed() const { return failed_; }
  // The write failed because the reader of a pipe has gone (EPIPE, or its
  // Windows form): the text is no longer wanted, which is no error.
  bool reader_gone() const;
  // The text put since the last take, when there is no stream.
  std::string take_captured();

 private:
  // Writes to `sink` from now on (closing a file opened here before).
  void set_sink(std::FILE* sink);
  char* reserve(std::size_t n);
  void write_block(const char* data, std::size_t n);
  void put_padded(const char* s, std::size_t len, int width);

  std::FILE* sink_;
  std::vector<char> buf_;
  std::size_t used_ = 0;
  bool interactive_ = false;
  bool failed_ = false;
  bool lost_reader_ = false;
  bool owns_sink_ = false;
  std::string captured_;
};

}  // namespace textio
