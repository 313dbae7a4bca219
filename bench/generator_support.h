// Pieces shared by the benchmark data generators: a random generator that
// gives the same numbers everywhere, a block-buffered text writer and the
// Gregorian calendar. Standard library only, so that the generators build
// even while the tools themselves do not.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

namespace benchgen {

// xoshiro256** seeded through splitmix64. The std:: distributions are not
// required to produce the same sequence on every library, and a data set
// must be reproducible from its seed alone.
class Random {
 public:
  explicit Random(std::uint64_t seed) {
    for (auto& word : state_) {
      seed += 0x9e3779b97f4a7c15ULL;
      std::uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
      z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
      word = z ^ (z >> 31);
    }
  }

  std::uint64_t next() {
    const std::uint64_t result = rotl(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotl(state_[3], 45);
    return result;
  }

  // In [0, 1), with the full 53 bits of a double.
  double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }
  // In [0, n); the tiny modulo bias does not matter for test data.
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  bool chance(double p) { return uniform() < p; }
  double exponential(double mean) { return -mean * std::log1p(-uniform()); }
  // Spread evenly over the logarithm: as many short outages as long ones per decade.
  double log_uniform(double lo, double hi) { return lo * std::exp(uniform() * std::log(hi / lo)); }

 private:
  static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  std::uint64_t state_[4];
};

// Text composed in memory and handed to the stream in large blocks; the
// data sets run to a hundred megabytes and stdio per field would dominate.
class TextSink {
 public:
  TextSink(std::FILE* stream, std::string name) : stream_(stream), name_(std::move(name)) {
    buf_.reserve(BLOCK + 4096);
  }
  TextSink(const TextSink&) = delete;
  TextSink& operator=(const TextSink&) = delete;
  ~TextSink() {
    if (stream_) close();
  }

  void put(char c) { buf_.push_back(c); }
  void put(std::string_view s) { buf_.append(s); }
  void put_int(long long v) {
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, v);
    buf_.append(digits, r.ptr);
  }
  // A value given in tenths, written with exactly one decimal.
  void put_tenths(long long tenths) { put_scaled(tenths, 10, 1); }
  // A value given in hundredths, written with exactly two decimals.
  void put_hundredths(long long hundredths) { put_scaled(hundredths, 100, 2); }
  // Called once per record: writes out whenever a block is full.
  void end_line() {
    buf_.push_back('\n');
    if (buf_.size() >= BLOCK) write_out();
  }
  std::uint64_t bytes_written() const { return written_ + buf_.size(); }

  // Writes the rest and closes the stream (never stdout); false on any failure.
  bool close() {
    write_out();
    bool ok = !failed_ && std::fflush(stream_) == 0;
    if (stream_ != stdout && std::fclose(stream_) != 0) ok = false;
    stream_ = nullptr;
    if (!ok) std::fprintf(stderr, "error writing %s\n", name_.c_str());
    return ok;
  }

 private:
  static constexpr std::size_t BLOCK = 1 << 20;

  void put_scaled(long long v, int scale, int places) {
    if (v < 0) {
      buf_.push_back('-');
      v = -v;
    }
    put_int(v / scale);
    buf_.push_back('.');
    long long fraction = v % scale;
    char digits[2];
    for (int i = places - 1; i >= 0; --i) {
      digits[i] = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    buf_.append(digits, static_cast<std::size_t>(places));
  }

  void write_out() {
    if (!buf_.empty() && std::fwrite(buf_.data(), 1, buf_.size(), stream_) != buf_.size()) failed_ = true;
    written_ += buf_.size();
    buf_.clear();
  }

  std::FILE* stream_;
  std::string name_;
  std::string buf_;
  std::uint64_t written_ = 0;
  bool failed_ = false;
};

inline bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

inline int days_in_month(int year, int month) {
  static constexpr int LENGTH[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && is_leap_year(year) ? 29 : LENGTH[month];
}

struct Date {
  int year;
  int month;
  int day;

  void advance() {
    if (++day <= days_in_month(year, month)) return;
    day = 1;
    if (++month <= 12) return;
    month = 1;
    ++year;
  }
};

// Rounded to tenths for one-decimal output; halves away from zero like printf
// would for exactly representable values.
inline long long to_tenths(double v) { return std::llround(v * 10.0); }

// Parses a whole non-negative integer option value or ends the program.
inline long long parse_count(const char* option, const char* text, long long min, long long max) {
  long long v = 0;
  const std::string_view s(text);
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size() || v < min || v > max) {
    std::fprintf(stderr, "%s: expected a whole number from %lld to %lld, got '%s'\n", option, min, max, text);
    std::exit(2);
  }
  return v;
}

}  // namespace benchgen
