#include "output_buffer.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include "number_format.h"
#include "one_decimal_format.h"
#include "platform_io.h"
#include "short_number_format.h"

namespace textio {

OutputBuffer::OutputBuffer(std::FILE* sink, std::size_t capacity) : sink_(sink), buf_(capacity < 512 ? 512 : capacity) {}

OutputBuffer::~OutputBuffer() {
  flush();
  if (owns_sink_) std::fclose(sink_);
}

bool OutputBuffer::open_file(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  set_sink(f);
  owns_sink_ = true;
  return true;
}

bool OutputBuffer::close_file() {
  flush();
  bool ok = !failed_;
  if (owns_sink_ && std::fclose(sink_) != 0) ok = false;
  sink_ = nullptr;
  owns_sink_ = false;
  return ok;
}

void OutputBuffer::set_sink(std::FILE* sink) {
  flush();
  if (owns_sink_) std::fclose(sink_);
  owns_sink_ = false;
  sink_ = sink;
  failed_ = false;
  lost_reader_ = false;
}

bool OutputBuffer::reader_gone() const { return failed_ && lost_reader_; }

void OutputBuffer::write_block(const char* data, std::size_t n) {
  if (failed_) return;
  errno = 0;
  if (std::fwrite(data, 1, n, sink_) != n || std::fflush(sink_) != 0) {
    failed_ = true;
    lost_reader_ = write_failed_for_lost_reader(errno);
  }
}

void OutputBuffer::flush() {
  if (used_ == 0) return;
  if (sink_) {
    write_block(buf_.data(), used_);
  } else {
    captured_.append(buf_.data(), used_);
  }
  used_ = 0;
}

std::string OutputBuffer::take_captured() {
  flush();
  std::string s;
  s.swap(captured_);
  return s;
}

char* OutputBuffer::reserve(std::size_t n) {
  if (buf_.size() - used_ < n) flush();
  return buf_.data() + used_;
}

void OutputBuffer::put(std::string_view s) {
  if (s.size() > buf_.size() - used_) {
    flush();
    if (s.size() > buf_.size()) {
      if (sink_) {
        write_block(s.data(), s.size());
      } else {
        captured_.append(s);
      }
      return;
    }
  }
  std::memcpy(buf_.data() + used_, s.data(), s.size());
  used_ += s.size();
  if (interactive_ && std::memchr(s.data(), '\n', s.size())) flush();
}

void OutputBuffer::put_int(long long v) {
  char* p = reserve(24);
  used_ = static_cast<std::size_t>(std::to_chars(p, p + 24, v).ptr - buf_.data());
}

void OutputBuffer::put_padded(const char* s, std::size_t len, int width) {
  for (std::size_t i = len; i < static_cast<std::size_t>(width > 0 ? width : 0); ++i) put(' ');
  put(std::string_view(s, len));
}

void OutputBuffer::put_int(long long v, int width) {
  char tmp[24];
  char* e = std::to_chars(tmp, tmp + sizeof tmp, v).ptr;
  put_padded(tmp, static_cast<std::size_t>(e - tmp), width);
}

void OutputBuffer::put_fixed(double v, int precision) {
  char* p = reserve(MAX_NUMBER_CHARS);
  char* e = precision == 6 ? format_six_decimals(p, v) : format_fixed_whole(p, v, precision);
  if (!e) e = format_fixed(p, v, precision);
  used_ = static_cast<std::size_t>(e - buf_.data());
}

void OutputBuffer::put_fixed(double v, int precision, int width) {
  char tmp[MAX_NUMBER_CHARS];
  char* e = format_fixed(tmp, v, precision);
  put_padded(tmp, static_cast<std::size_t>(e - tmp), width);
}

void OutputBuffer::put_general(double v, int precision) {
  char* p = reserve(MAX_NUMBER_CHARS);
  char* e = precision == 6 ? format_general_six(p, v) : format_general_short(p, v, precision);
  if (!e) e = format_general(p, v, precision);
  used_ = static_cast<std::size_t>(e - buf_.data());
}

void OutputBuffer::put_one_decimal(double v) {
  char* p = reserve(MAX_NUMBER_CHARS);
  used_ = static_cast<std::size_t>(format_one_decimal(p, v) - buf_.data());
}

}  // namespace textio
