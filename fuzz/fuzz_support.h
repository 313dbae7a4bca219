// What the fuzz targets share: a reader of the fuzz input's bytes, a
// private directory for the files a whole run needs, and the failure report
// that makes libFuzzer keep the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace fuzz {

// Takes values from the front of the fuzz input; once it is used up every
// value is 0 and every piece of text empty, so any input describes a case.
class ByteSource {
 public:
  ByteSource(const std::uint8_t* data, std::size_t size) : p_(data), n_(size) {}

  std::uint8_t byte() {
    if (n_ == 0) return 0;
    --n_;
    return *p_++;
  }
  // A number in 0..limit - 1 (limit at most 65536).
  unsigned below(unsigned limit) {
    unsigned v = byte();
    if (limit > 256) v = (v << 8) | byte();
    return limit == 0 ? 0 : v % limit;
  }
  bool flag() { return byte() & 1; }
  std::uint64_t bits64() {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | byte();
    return v;
  }
  double raw_double() {
    const std::uint64_t bits = bits64();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  std::string_view take(std::size_t count) {
    if (count > n_) count = n_;
    std::string_view s(reinterpret_cast<const char*>(p_), count);
    p_ += count;
    n_ -= count;
    return s;
  }
  std::string_view rest() { return take(n_); }
  std::size_t left() const { return n_; }

 private:
  const std::uint8_t* p_;
  std::size_t n_;
};

// A mismatch or a broken bound: printed, then the process aborts, which
// libFuzzer reports as a crash and keeps the input for.
[[noreturn]] inline void finding(const std::string& what) {
  std::fprintf(stderr, "\n==FINDING== %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

// A directory of this process only (under /dev/shm when there is one), made
// at the first call and removed when the process ends.
const std::string& private_dir();

// The path of a file in the private directory.
std::string private_path(std::string_view name);

void write_file(const std::string& path, std::string_view bytes);
std::string read_file(const std::string& path);

// Files written by this process may not grow beyond `bytes`: a run that
// writes more is stopped by SIGXFSZ, which libFuzzer reports as a finding.
void limit_file_size(std::size_t bytes);

// printf-style text for messages of findings.
std::string escaped(std::string_view s, std::size_t limit = 200);

}  // namespace fuzz
