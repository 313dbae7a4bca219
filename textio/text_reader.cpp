#include "text_reader.h"

#include <algorithm>
#include <cstring>

#include "number_scan.h"
#include "output_buffer.h"
#include "platform_io.h"

namespace textio {
namespace {
constexpr std::size_t BLOCK_SIZE = 1 << 18;
constexpr char CTRL_Z = 0x1A;
}  // namespace

TextReader::TextReader() : buf_(BLOCK_SIZE + 1 + READ_SLACK) {}

TextReader::~TextReader() {
  if (owns_fd_ && fd_ >= 0) platform_close(fd_);
}

bool TextReader::open(const std::string& path) {
  close();
  fd_ = platform_open_read(path);
  owns_fd_ = fd_ >= 0;
  rewind();
  return fd_ >= 0;
}

void TextReader::attach_standard_input() {
  close();
  fd_ = platform_standard_input();
  owns_fd_ = false;
  pos_ = end_ = 0;
  buf_[0] = '\0';
  source_done_ = pending_cr_ = eof_flag_ = false;
}

void TextReader::attach_text(std::string text) {
  close();
  text_ = std::move(text);
  from_text_ = true;
  rewind();
}

bool TextReader::rewind() {
  pos_ = end_ = 0;
  buf_[0] = '\0';
  source_done_ = pending_cr_ = eof_flag_ = false;
  text_pos_ = 0;
  if (from_text_) return true;
  return fd_ >= 0 && platform_seek_start(fd_);
}

bool TextReader::close() {
  bool ok = true;
  if (owns_fd_ && fd_ >= 0) ok = platform_close(fd_);
  fd_ = -1;
  owns_fd_ = false;
  from_text_ = false;
  text_.clear();
  pos_ = end_ = 0;
  source_done_ = pending_cr_ = eof_flag_ = false;
  return ok;
}

std::size_t TextReader::read_raw(char* dst, std::size_t room) {
  if (from_text_) {
    std::size_t n = std::min(room, text_.size() - text_pos_);
    std::memcpy(dst, text_.data() + text_pos_, n);
    text_pos_ += n;
    return n;
  }
  if (fd_ < 0) return 0;
  if (tie_) tie_->flush();
  return platform_read(fd_, dst, room);
}

bool TextReader::fill(std::size_t& keep) {
  while (!source_done_) {
    // Keep the characters from `keep` on, at the front of the buffer.
    if (keep > 0) {
      std::memmove(buf_.data(), buf_.data() + keep, end_ - keep);
      pos_ -= keep;
      end_ -= keep;
      keep = 0;
    }
    if (capacity() - end_ < BLOCK_SIZE / 2 + 1) {
      buf_.resize(std::max(capacity() * 2, end_ + BLOCK_SIZE + 1) + READ_SLACK);
    }

    // One byte stays free in front of the raw block for a CR held back.
    char* out = buf_.data() + end_;
    char* raw = out + 1;
    const std::size_t n = read_raw(raw, capacity() - end_ - 1);
    if (n == 0) {
      // A CR held back from the last block is a character of its own.
      source_done_ = true;
      const bool held_cr = pending_cr_;
      if (held_cr) *out++ = '\r';
      pending_cr_ = false;
      end_ = static_cast<std::size_t>(out - buf_.data());
      buf_[end_] = '\0';
      return held_cr;
    }
    const char* in = raw;
    const char* in_end = raw + n;
    if (pending_cr_) {
      pending_cr_ = false;
      if (*in != '\n') *out++ = '\r';
    }
    // Text mode: CR LF becomes LF, 0x1A ends the input.
    while (in < in_end) {
      const char* cr = static_cast<const char*>(std::memchr(in, '\r', static_cast<std::size_t>(in_end - in)));
      const char* stop = cr ? cr : in_end;
      const char* z = static_cast<const char*>(std::memchr(in, CTRL_Z, static_cast<std::size_t>(stop - in)));
      if (z) stop = z;
      const std::size_t len = static_cast<std::size_t>(stop - in);
      std::memmove(out, in, len);
      out += len;
      in = stop;
      if (in == in_end) break;
      if (*in == CTRL_Z) {
        source_done_ = true;
        break;
      }
      ++in;  // the CR
      if (in == in_end) {
        pending_cr_ = true;
      } else if (*in != '\n') {
        *out++ = '\r';
      }
    }
    const std::size_t before = end_;
    end_ = static_cast<std::size_t>(out - buf_.data());
    buf_[end_] = '\0';
    if (end_ > before) return true;
  }
  return false;
}

bool TextReader::skip_space_before_item() {
  if (eof_flag_) return false;
  for (;;) {
    while (pos_ < end_ && is_c_space(static_cast<unsigned char>(buf_[pos_]))) ++pos_;
    if (pos_ < end_) return true;
    std::size_t keep = pos_;
    if (!fill(keep)) {
      eof_flag_ = true;
      return false;
    }
  }
}

void TextReader::skip_space() { skip_space_before_item(); }

int TextReader::scan_int_general(int& value) {
  if (!skip_space_before_item()) return SCAN_INPUT_FAILURE;
  for (;;) {
    NumberScan r = scan_int_at(buf_.data() + pos_, end_ - pos_, source_done_, value);
    if (r.status != NumberScan::NEED_MORE) {
      pos_ += r.consumed;
      if (r.hit_end) eof_flag_ = true;
      return r.status;
    }
    std::size_t keep = pos_;
    fill(keep);
  }
}

int TextReader::scan_double_general(double& value) {
  if (!skip_space_before_item()) return SCAN_INPUT_FAILURE;
  for (;;) {
    NumberScan r = scan_double_at(buf_.data() + pos_, end_ - pos_, source_done_, value);
    if (r.status != NumberScan::NEED_MORE) {
      pos_ += r.consumed;
      if (r.hit_end) eof_flag_ = true;
      return r.status;
    }
    std::size_t keep = pos_;
    fill(keep);
  }
}

int TextReader::scan_word(std::string& word) {
  if (!skip_space_before_item()) return SCAN_INPUT_FAILURE;
  word.clear();
  for (;;) {
    std::size_t start = pos_;
    while (pos_ < end_ && !is_c_space(static_cast<unsigned char>(buf_[pos_]))) ++pos_;
    word.append(buf_.data() + start, pos_ - start);
    if (pos_ < end_) return SCAN_OK;
    std::size_t keep = pos_;
    if (!fill(keep)) {
      eof_flag_ = true;
      return SCAN_OK;
    }
  }
}

bool TextReader::read_line(std::string& line) {
  line.clear();
  if (eof_flag_) return false;
  for (;;) {
    const char* from = buf_.data() + pos_;
    const char* nl = static_cast<const char*>(std::memchr(from, '\n', end_ - pos_));
    if (nl) {
      line.append(from, static_cast<std::size_t>(nl + 1 - from));
      pos_ += static_cast<std::size_t>(nl + 1 - from);
      return true;
    }
    line.append(from, end_ - pos_);
    pos_ = end_;
    std::size_t keep = pos_;
    if (!fill(keep)) {
      eof_flag_ = true;
      return !line.empty();
    }
  }
}

bool TextReader::skip_line() {
  if (eof_flag_) return false;
  bool any = false;
  for (;;) {
    const char* from = buf_.data() + pos_;
    const char* nl = static_cast<const char*>(std::memchr(from, '\n', end_ - pos_));
    if (nl) {
      pos_ += static_cast<std::size_t>(nl + 1 - from);
      return true;
    }
    any = any || pos_ < end_;
    pos_ = end_;
    std::size_t keep = pos_;
    if (!fill(keep)) {
      eof_flag_ = true;
      return any;
    }
  }
}

int TextReader::get_char() {
  if (eof_flag_) return -1;
  if (pos_ == end_) {
    std::size_t keep = pos_;
    if (!fill(keep)) {
      eof_flag_ = true;
      return -1;
    }
  }
  return static_cast<unsigned char>(buf_[pos_++]);
}

}  // namespace textio
