#include "text_reader.h"

#include <algorithm>
#include <cstring>

#include "number_scan.h"
#include "output_buffer.h"
#include "platform_io.h"

namespace textio {
namespace {
constexpr char CTRL_Z = 0x1A;
}  // namespace

TextReader::TextReader() : buf_(READ_BLOCK_SIZE + 1 + READ_SLACK) { buf_[0] = '\0'; }

TextReader::~TextReader() {
  if (owns_fd_ && fd_ >= 0) platform_close(fd_);
}

void TextReader::clear_buffer() {
  pos_ = end_ = 0;
  buf_[0] = '\0';
  source_done_ = pending_cr_ = eof_flag_ = false;
  discarded_ = 0;
  discarded_lines_ = 0;
}

void TextReader::drop_kept() {
  std::vector<char>().swap(kept_);
  kept_pos_ = 0;
  kept_is_whole_ = false;
}

void TextReader::start_source(bool seekable) {
  clear_buffer();
  drop_kept();
  read_failed_ = false;
  return_ = seekable ? Return::SEEK : Return::RECORDING;
}

bool TextReader::open(const std::string& path) {
  close();
  fd_ = platform_open_read(path);
  owns_fd_ = fd_ >= 0;
  start_source(fd_ < 0 || platform_can_seek(fd_));
  return fd_ >= 0;
}

void TextReader::attach_standard_input() {
  close();
  fd_ = platform_standard_input();
  owns_fd_ = false;
  start_source(true);
  // Answers are read once; a pipe or a terminal is not kept for a return.
  if (!platform_can_seek(fd_)) return_ = Return::NONE;
}

void TextReader::attach_text(std::string text) {
  close();
  text_ = std::move(text);
  from_text_ = true;
  start_source(true);
}

void TextReader::attach_unseekable_text(std::string text, std::size_t chunk, std::size_t fail_after) {
  close();
  text_ = std::move(text);
  from_text_ = true;
  text_chunk_ = chunk > 0 ? chunk : 1;
  text_fail_after_ = fail_after;
  start_source(false);
}

std::uint64_t TextReader::line() const {
  return discarded_lines_ + static_cast<std::uint64_t>(std::count(buf_.data(), buf_.data() + pos_, '\n')) + 1;
}

bool TextReader::rewind() {
  clear_buffer();
  bool ok = false;
  switch (return_) {
    case Return::SEEK:
      read_failed_ = false;
      text_pos_ = 0;
      ok = from_text_ || (fd_ >= 0 && platform_seek_start(fd_));
      break;
    case Return::RECORDING:
      // Before anything was read there is nothing to replay: the bytes read
      // before the first return that follows a read are the ones kept.
      if (!kept_.empty() || kept_is_whole_) return_ = Return::REPLAYING;
      [[fallthrough]];
    case Return::REPLAYING:
      kept_pos_ = 0;
      ok = !read_failed_;
      break;
    case Return::NONE: ok = false; break;
  }
  if (!ok) {
    // Nothing more comes from an input that could not return.
    read_failed_ = true;
    source_done_ = true;
  }
  return ok;
}

bool TextReader::close() {
  bool ok = true;
  if (owns_fd_ && fd_ >= 0) ok = platform_close(fd_);
  fd_ = -1;
  owns_fd_ = false;
  from_text_ = false;
  text_.clear();
  text_pos_ = 0;
  text_chunk_ = 0;
  text_fail_after_ = SIZE_MAX;
  start_source(true);
  return ok;
}

long long TextReader::read_source(char* dst, std::size_t room) {
  if (from_text_) {
    if (text_pos_ >= text_fail_after_) return -1;
    std::size_t n = std::min(room, text_.size() - text_pos_);
    if (text_chunk_ > 0) n = std::min(n, text_chunk_);
    n = std::min(n, text_fail_after_ - text_pos_);
    std::memcpy(dst, text_.data() + text_pos_, n);
    text_pos_ += n;
    return static_cast<long long>(n);
  }
  if (fd_ < 0) return 0;
  if (tie_) tie_->flush();
  return platform_read(fd_, dst, room);
}

std::size_t TextReader::read_raw(char* dst, std::size_t room) {
  if (read_failed_) return 0;
  if (return_ == Return::REPLAYING) {
    if (kept_pos_ < kept_.size()) {
      const std::size_t n = std::min(room, kept_.size() - kept_pos_);
      std::memcpy(dst, kept_.data() + kept_pos_, n);
      kept_pos_ += n;
      return n;
    }
    if (kept_is_whole_) return 0;
  }
  const long long n = read_source(dst, room);
  if (n < 0) {
    read_failed_ = true;
    return 0;
  }
  const std::size_t got = static_cast<std::size_t>(n);
  if (return_ == Return::RECORDING) {
    kept_.insert(kept_.end(), dst, dst + got);
    if (got == 0) kept_is_whole_ = true;
  } else if (return_ == Return::REPLAYING) {
    if (got == 0) {
      // The input ends with the kept bytes: nothing beyond them was read.
      kept_is_whole_ = true;
    } else {
      // Beyond the kept bytes no return to the start is possible any more.
      return_ = Return::NONE;
      drop_kept();
    }
  }
  return got;
}

bool TextReader::fill(std::size_t& keep) {
  while (!source_done_) {
    // Keep the characters from `keep` on, at the front of the buffer.
    if (keep > 0) {
      discarded_ += keep;
      if (counting_lines_) discarded_lines_ += static_cast<std::uint64_t>(std::count(buf_.data(), buf_.data() + keep, '\n'));
      std::memmove(buf_.data(), buf_.data() + keep, end_ - keep);
      pos_ -= keep;
      end_ -= keep;
      keep = 0;
    }
    if (capacity() - end_ < READ_BLOCK_SIZE / 2 + 1) {
      buf_.resize(std::max(capacity() * 2, end_ + READ_BLOCK_SIZE + 1) + READ_SLACK);
    }

    // A CR held back from the last block goes in front of the raw block:
    // then one byte stays free for it. Otherwise the block is translated
    // where it was read, and moved only behind a CR LF or a 0x1A.
    char* out = buf_.data() + end_;
    char* raw = pending_cr_ ? out + 1 : out;
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
      if (out != in) std::memmove(out, in, len);
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

bool TextReader::skip_line_general() {
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
