// TextReader against the formatted input of the GNU C library (glibc's
// stdio on Linux), the reference the reader is made to match. Built for
// Windows, the test runs against that platform's C library instead and
// leaves "%lf" out of the comparison (see kCompareDoubles).
//
// Each input is read twice with the same sequence of operations: by glibc
// (fopen, fscanf "%d" / "%lf" / "%s" / "\n", fgets, fgetc, rewind) from a
// file that holds the input as Windows text mode delivers it (CR LF read as
// LF, the input ends at the first 0x1A), and by TextReader from the raw
// bytes, through a file, through attach_text and as from a pipe. After every
// operation the results, the values read, the end-of-file indicator and
// finally the rest of the input must be the same.
//
// "%d" is only ever applied to digit runs that fit in an int: out of range the
// reader clamps on purpose where glibc truncates (tested on its own).

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text_reader.h"

namespace {

using textio::READ_BLOCK_SIZE;
using textio::TextReader;

// The reader converts decimals as glibc does: correctly rounded however many
// digits there are, and after a failed "%lf" consumed as far as glibc
// consumes. The C library of MinGW differs: a decimal of more than 17
// significant digits can come out one unit in the last place off, a number
// of hundreds of thousands of digits as 0 or inf, and a failed conversion
// gives back other characters (the "e" of "1e"). There the comparison leaves
// "%lf" out; everything else is compared as on Linux.
#ifdef _WIN32
constexpr bool kCompareDoubles = false;
#else
constexpr bool kCompareDoubles = true;
#endif
constexpr const char* kDoublesDiffer =
    "the C library's %lf differs from glibc's (last bit of long decimals, very long numbers, what a failed "
    "conversion consumes); the doubles of this test were not compared";

enum class Op { Int, Double, Word, SkipSpace, Line, SkipLine, Char, Rewind, Rest };

const char* op_name(Op op) {
  switch (op) {
    case Op::Int: return "int";
    case Op::Double: return "double";
    case Op::Word: return "word";
    case Op::SkipSpace: return "skip_space";
    case Op::Line: return "read_line";
    case Op::SkipLine: return "skip_line";
    case Op::Char: return "get_char";
    case Op::Rewind: return "rewind";
    case Op::Rest: return "rest";
  }
  return "?";
}

// The input as Windows text mode delivers it.
std::string text_mode(std::string_view raw) {
  raw = raw.substr(0, raw.find('\x1a'));
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    out += raw[i];
  }
  return out;
}

std::string escape(std::string_view s, std::size_t limit = 300) {
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size() && i < limit; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\v': out += "\\v"; break;
      case '\f': out += "\\f"; break;
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      default:
        if (c < 0x20 || c >= 0x7f) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out += hex;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
  if (s.size() > limit) out += " ... (" + std::to_string(s.size()) + " bytes)";
  return out;
}

// The result of one operation. `ret` is the return value; fgets and
// read_line count 1 for a line and 0 for none.
struct Outcome {
  int ret = 0;
  int int_value = 0;
  double double_value = 0.0;
  std::string text;  // the word, the line, or the rest of the input
  bool eof = false;
};

bool same_double(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The C library hands words and lines over as C strings: they end at the
// first NUL byte (what follows is still checked by the later steps).
std::string_view c_string_part(const std::string& s) { return std::string_view(s).substr(0, s.find('\0')); }

bool same(Op op, const Outcome& c, const Outcome& r) {
  if (c.eof != r.eof) return false;
  switch (op) {
    case Op::SkipSpace:
    case Op::Rewind: return true;
    case Op::Int: return c.ret == r.ret && (c.ret != 1 || c.int_value == r.int_value);
    case Op::Double: return c.ret == r.ret && (c.ret != 1 || same_double(c.double_value, r.double_value));
    case Op::Word:
    case Op::Line: return c.ret == r.ret && (c.ret != 1 || c.text == c_string_part(r.text));
    case Op::SkipLine:
    case Op::Char: return c.ret == r.ret;
    case Op::Rest: return c.text == r.text;
  }
  return false;
}

std::string describe(Op op, const Outcome& o) {
  std::string s = "ret=" + std::to_string(o.ret);
  if (op == Op::Int && o.ret == 1) s += " value=" + std::to_string(o.int_value);
  if (op == Op::Double && o.ret == 1) {
    char buf[64];
    std::snprintf(buf, sizeof buf, " value=%.17g (%a)", o.double_value, o.double_value);
    s += buf;
  }
  if ((op == Op::Word || op == Op::Line) && o.ret == 1) s += " text=" + escape(o.text, 120);
  if (op == Op::Rest) s = "rest=" + escape(o.text, 120);
  return s + " eof=" + (o.eof ? "1" : "0");
}

// The C library side: a FILE opened on the translated input.
class StdioSide {
 public:
  StdioSide(std::FILE* f, std::size_t text_size) : f_(f), buf_(text_size + 2) {}

  Outcome step(Op op) {
    Outcome o;
    const int size = static_cast<int>(buf_.size());
    switch (op) {
      case Op::Int: o.ret = std::fscanf(f_, "%d", &o.int_value); break;
      case Op::Double: o.ret = std::fscanf(f_, "%lf", &o.double_value); break;
      case Op::Word:
        o.ret = std::fscanf(f_, "%s", buf_.data());
        if (o.ret == 1) o.text = buf_.data();
        break;
      case Op::SkipSpace: o.ret = std::fscanf(f_, "\n"); break;
      case Op::Line:
        o.ret = std::fgets(buf_.data(), size, f_) != nullptr;
        if (o.ret == 1) o.text = buf_.data();
        break;
      case Op::SkipLine: o.ret = std::fgets(buf_.data(), size, f_) != nullptr; break;
      case Op::Char: o.ret = std::fgetc(f_); break;
      case Op::Rewind: std::rewind(f_); break;
      case Op::Rest:
        for (int c; (c = std::fgetc(f_)) != EOF;) o.text += static_cast<char>(c);
        break;
    }
    o.eof = std::feof(f_) != 0;
    return o;
  }

 private:
  std::FILE* f_;
  std::vector<char> buf_;
};

Outcome reader_step(TextReader& r, Op op) {
  Outcome o;
  switch (op) {
    case Op::Int: o.ret = r.scan_int(o.int_value); break;
    case Op::Double: o.ret = r.scan_double(o.double_value); break;
    case Op::Word: o.ret = r.scan_word(o.text); break;
    case Op::SkipSpace: r.skip_space(); break;
    case Op::Line: o.ret = r.read_line(o.text); break;
    case Op::SkipLine: o.ret = r.skip_line(); break;
    case Op::Char: o.ret = r.get_char(); break;
    case Op::Rewind: r.rewind(); break;
    case Op::Rest:
      for (int c; (c = r.get_char()) != -1;) o.text += static_cast<char>(c);
      break;
  }
  o.eof = r.eof();
  return o;
}

std::string ops_text(const std::vector<Op>& ops, std::size_t upto) {
  constexpr std::size_t kShown = 40;
  std::string s;
  std::size_t from = 0;
  if (upto > kShown) {
    from = upto - kShown;
    s = "(" + std::to_string(from) + " earlier) ";
  }
  for (std::size_t k = from; k < upto && k < ops.size(); ++k) s += std::string(op_name(ops[k])) + " ";
  return s;
}

// Runs `ops` and then reads the rest on both sides in lock step. Returns a
// description of the first difference, or an empty string.
std::string first_difference(std::FILE* ref, const std::string& ref_text, TextReader& reader,
                             const std::vector<Op>& ops, std::set<std::pair<Op, int>>* seen) {
  StdioSide c(ref, ref_text.size());
  for (std::size_t k = 0; k <= ops.size(); ++k) {
    const Op op = k < ops.size() ? ops[k] : Op::Rest;
    const Outcome a = c.step(op);
    const Outcome b = reader_step(reader, op);
    if (seen) seen->insert({op, a.ret});
    if (!same(op, a, b)) {
      std::string msg = "step " + std::to_string(k) + " (" + op_name(op) + ") of " + std::to_string(ops.size()) +
                        " operations and the rest\n";
      msg += "  C library:  " + describe(op, a) + "\n";
      msg += "  TextReader: " + describe(op, b) + "\n";
      if (a.text != b.text) {
        const std::size_t at = static_cast<std::size_t>(
            std::mismatch(a.text.begin(), a.text.end(), b.text.begin(), b.text.end()).first - a.text.begin());
        const std::size_t from = at < 20 ? 0 : at - 20;
        msg += "  texts differ at offset " + std::to_string(at) + ": C library " +
               escape(std::string_view(a.text).substr(from), 50) + ", TextReader " +
               escape(std::string_view(b.text).substr(from), 50) + "\n";
      }
      // Replays the C library side to find where the step started.
      std::rewind(ref);
      for (std::size_t j = 0; j < k; ++j) c.step(ops[j]);
      const long where = std::ftell(ref);
      if (where >= 0 && static_cast<std::size_t>(where) <= ref_text.size()) {
        msg += "  translated input from offset " + std::to_string(where) +
               " before the step: " + escape(std::string_view(ref_text).substr(static_cast<std::size_t>(where)), 60) +
               "\n";
      }
      msg += "  operations before: " + ops_text(ops, k) + "\n";
      return msg;
    }
  }
  return {};
}

class Rng {
 public:
  explicit Rng(std::uint32_t seed) : gen_(seed) {}
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(gen_() % n); }
  bool one_in(std::size_t n) { return below(n) == 0; }
  std::uint64_t bits64() { return (static_cast<std::uint64_t>(gen_()) << 32) | gen_(); }
  template <std::size_t N>
  const char* pick(const char* const (&items)[N]) {
    return items[below(N)];
  }

 private:
  std::mt19937 gen_;
};

std::string digits(Rng& rng, std::size_t n) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s += static_cast<char>('0' + rng.below(10));
  return s;
}

// Short numbers, well formed or broken off; every digit run fits in an int.
std::string short_number(Rng& rng) {
  static const char* const kFixed[] = {
      "1e5",       "2E-3",      "1e",       "1e+",      "1E-",        "5.",          ".5",    ".",       "-.5e1",
      "+.e1",      "1.5.3",     "1e5e3",    "0",        "-0",         "+0",          "00012", "0.0",     "-0.0",
      "1.e5",      ".e5",       "0e5",      "-5.",      "2147483647", "-2147483647", "1e400", "-1e400",  "1e-400",
      "0x1p3",     "0X1P-2",    "0x1.8p1",  "0x.8",     "0xAbC",      "0x1p",        "0x1p+", "-0x10",   "0x1e3",
      "0x1P-1074", "0x1p-1075", "4.9e-324", "2.4e-324", "2.5e-324",   "1e-320",      "1e308", "1.8e308",
  };
  if (rng.one_in(3)) return rng.pick(kFixed);
  static const char* const kSigns[] = {"", "", "", "", "", "", "", "-", "-", "+"};
  std::string s = rng.pick(kSigns);
  s += digits(rng, rng.below(10));
  if (rng.one_in(2)) s += '.' + digits(rng, rng.below(7));
  if (rng.one_in(3)) {
    s += rng.one_in(2) ? 'e' : 'E';
    s += rng.pick({"", "", "-", "+"});
    s += digits(rng, rng.below(4));
  }
  return s;
}

// Numbers with many significant digits or close to a rounding boundary.
std::string long_number(Rng& rng) {
  static const char* const kFixed[] = {
      "2.2250738585072011e-308",    "2.2250738585072014e-308",  "1.7976931348623157e308",
      "1.7976931348623158e308",     "1.7976931348623159e308",   "9007199254740993",
      "9007199254740993.000000001", "0.30000000000000004441",   "4.94065645841246544e-324",
      "2.47032822920623272e-324",   "2.47032822920623273e-324", "123456789012345678901234567890",
  };
  char buf[160];
  switch (rng.below(6)) {
    case 0: return rng.pick(kFixed);
    case 1: {  // many digits, a point somewhere, a wide exponent
      std::string m = digits(rng, 10 + rng.below(40));
      m.insert(rng.below(m.size() + 1), ".");
      const int exp = static_cast<int>(rng.below(660)) - 340;
      return (rng.one_in(3) ? "-" : "") + m + "e" + std::to_string(exp);
    }
    case 2: {  // more digits than a double holds exactly, no exponent
      std::string m = digits(rng, 15 + rng.below(12));
      m.insert(rng.below(m.size() + 1), ".");
      return (rng.one_in(3) ? "-" : "") + m;
    }
    default: {  // a double, or the midpoint between it and its neighbour away from zero
      double x;
      do x = std::bit_cast<double>(rng.bits64());
      while (!std::isfinite(x) || std::fabs(x) == DBL_MAX);
      static const int kPrecisions[] = {16, 17, 20, 25, 40, 60, 80};
      const int prec = kPrecisions[rng.below(std::size(kPrecisions))];
      if (rng.one_in(4)) {
        std::snprintf(buf, sizeof buf, "%a", x);
      } else if (rng.one_in(3)) {
        std::snprintf(buf, sizeof buf, "%.*e", prec, x);
      } else {
        const double next = std::nextafter(x, std::copysign(std::numeric_limits<double>::infinity(), x));
        const long double mid = (static_cast<long double>(x) + next) / 2;
        std::snprintf(buf, sizeof buf, "%.*Le", prec, mid);
      }
      return buf;
    }
  }
}

std::string word_token(Rng& rng) {
  static const char* const kWords[] = {"x",     "abc",      "e5",        "E",    "e",       "p",
                                       "nan",   "NaN",      "-nan",      "+NAN", "inf",     "-Inf",
                                       "INF",   "infinity", "-INFINITY", "infx", "infinit", "infinityx",
                                       "infin", "nax",      "na",        "n",    "i",       "in",
                                       "-i",    "0x",       "-0x",       "0xg",  "0Xz",     "12abc",
                                       "+",     "-",        "+-1",       "--1",  "1-",      "-+",
                                       "pi",    "a.b",      "1,5",       "x1",   "0x1p3",   "\xc3\xa9t\xc3\xa9"};
  return rng.pick(kWords);
}

std::string blank_token(Rng& rng) {
  static const char* const kBlanks[] = {" ",  "  ", "\t", "\n",     "\r\n", "\r",      "\v",
                                        "\f", "\n", " ",  "\r\r\n", "\n\r", " \r\n\t", "\r\n"};
  return rng.pick(kBlanks);
}

// True when every run of digits in `s` is at most INT_MAX, so "%d" stays in
// range wherever it starts.
bool digit_runs_fit_int(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    if (s[i] < '0' || s[i] > '9') {
      ++i;
      continue;
    }
    long long v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
      v = v * 10 + (s[i] - '0');
      if (v > INT_MAX) return false;
    }
  }
  return true;
}

std::string random_input(Rng& rng, bool long_numbers) {
  for (;;) {
    std::string s;
    const std::size_t tokens = rng.below(14);
    for (std::size_t t = 0; t < tokens; ++t) {
      const std::size_t kind = rng.below(10);
      if (kind < 4)
        s += long_numbers && rng.one_in(2) ? long_number(rng) : short_number(rng);
      else if (kind < 6)
        s += word_token(rng);
      else
        s += blank_token(rng);
      if (rng.one_in(40)) s += '\x1a';
      if (rng.one_in(60)) s += '\0';
    }
    switch (rng.below(5)) {
      case 0: s += '\n'; break;
      case 1: s += "\r\n"; break;
      case 2: s += '\r'; break;
      default: break;
    }
    if (long_numbers || digit_runs_fit_int(s)) return s;
  }
}

// `with_lines` adds the line operations and rewind, which a sequence meant to
// work its way through a long input leaves out.
std::vector<Op> random_ops(Rng& rng, std::size_t count, bool with_int, bool with_lines) {
  struct Weighted {
    Op op;
    std::size_t weight;
  };
  const Weighted table[] = {
      {Op::Int, with_int ? 18u : 0u},
      {Op::Double, 22},
      {Op::Word, 12},
      {Op::SkipSpace, 8},
      {Op::Line, with_lines ? 9u : 0u},
      {Op::SkipLine, with_lines ? 4u : 0u},
      {Op::Char, 16},
      {Op::Rewind, with_lines ? 2u : 0u},
  };
  std::size_t total = 0;
  for (const Weighted& w : table) total += w.weight;
  std::vector<Op> ops;
  ops.reserve(count);
  for (std::size_t k = 0; k < count; ++k) {
    std::size_t x = rng.below(total);
    for (const Weighted& w : table) {
      if (x < w.weight) {
        ops.push_back(w.op);
        break;
      }
      x -= w.weight;
    }
  }
  return ops;
}

class TextReaderDifferential : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
      auto candidate = base / ("text_reader_diff_" + std::to_string(seed()));
      if (std::filesystem::create_directory(candidate)) dir_ = candidate;
    }
    ASSERT_FALSE(dir_.empty()) << "cannot create a temporary directory";
    raw_path_ = (dir_ / "raw.bin").string();
    ref_path_ = (dir_ / "ref.txt").string();
  }

  void TearDown() override {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }

  static bool write_file(const std::string& path, std::string_view data) {
    // A new file rather than a truncated one: some file systems flush a file
    // that was truncated and rewritten when it is closed, which is slow.
    std::error_code ec;
    std::filesystem::remove(path, ec);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
  }

  // Runs `ops` on the C library and on the reader, fed once from a file,
  // once from memory and once as from a pipe that delivers the whole input
  // at once (so every return to the start is a replay of kept bytes).
  // Returns a description of the first difference.
  std::string check(const std::string& raw, std::vector<Op> ops, std::set<std::pair<Op, int>>* seen = nullptr) {
    if (!kCompareDoubles) std::erase(ops, Op::Double);
    const std::string ref_text = text_mode(raw);
    if (!write_file(raw_path_, raw) || !write_file(ref_path_, ref_text)) return "cannot write the input files";
    static const char* const kFeeds[] = {"open()", "attach_text()", "attach_unseekable_text()"};
    for (int feed = 0; feed < 3; ++feed) {
      // Binary: the file already holds the text as text mode delivers it.
      std::FILE* ref = std::fopen(ref_path_.c_str(), "rb");
      if (!ref) return "cannot open " + ref_path_;
      if (feed == 0) {
        if (!reader_.open(raw_path_)) {
          std::fclose(ref);
          return "TextReader cannot open " + raw_path_;
        }
      } else if (feed == 1) {
        reader_.attach_text(raw);
      } else {
        reader_.attach_unseekable_text(raw, raw.size() + 1);
      }
      const std::string diff = first_difference(ref, ref_text, reader_, ops, feed == 0 ? seen : nullptr);
      std::fclose(ref);
      if (!diff.empty()) return std::string("input ") + escape(raw) + "\nreader fed through " + kFeeds[feed] + "\n" + diff;
    }
    return {};
  }

  std::filesystem::path dir_;
  std::string raw_path_;
  std::string ref_path_;
  TextReader reader_;
};

TEST_F(TextReaderDifferential, RandomInputsAndOperationsAgreeWithStdio) {
  struct Mix {
    const char* what;
    std::uint32_t seed;
    int inputs;
    bool long_numbers;  // many digits: no "%d" then
  };
  const Mix mixes[] = {
      {"short tokens, every operation", 20240611u, 3000, false},
      {"long and boundary decimals, no %d", 977u, 1200, true},
  };
  for (const Mix& mix : mixes) {
    Rng rng(mix.seed);
    std::set<std::pair<Op, int>> seen;
    int failures = 0;
    for (int n = 0; n < mix.inputs && failures < 5; ++n) {
      const std::string raw = random_input(rng, mix.long_numbers);
      const std::vector<Op> ops = random_ops(rng, 1 + rng.below(14), !mix.long_numbers, true);
      const std::string diff = check(raw, ops, &seen);
      if (!diff.empty()) {
        ++failures;
        ADD_FAILURE() << mix.what << ", input #" << n << ": " << diff;
      }
    }
    // The inputs must reach every kind of result, or the comparison proves little.
    for (const auto& [op, ret] : std::vector<std::pair<Op, int>>{
             {Op::Double, 1}, {Op::Double, 0}, {Op::Double, -1}, {Op::Word, 1}, {Op::Word, -1}, {Op::Line, 0}}) {
      if (op == Op::Double && !kCompareDoubles) continue;
      EXPECT_TRUE(seen.count({op, ret})) << mix.what << ": never saw " << op_name(op) << " return " << ret;
    }
    if (!mix.long_numbers) {
      for (const int ret : {1, 0, -1}) {
        EXPECT_TRUE(seen.count({Op::Int, ret})) << mix.what << ": never saw int return " << ret;
      }
    }
  }
  if (!kCompareDoubles) GTEST_SKIP() << kDoublesDiffer;
}

// Conversions from memory, each starting where the previous one stopped,
// against sscanf on the same text (without CR and 0x1A, which text mode
// would change, and without NUL, which would end the string).
TEST_F(TextReaderDifferential, InMemoryConversionsAgreeWithSscanf) {
  for (const bool long_numbers : {false, true}) {
    // Only doubles are read from the long numbers.
    if (long_numbers && !kCompareDoubles) continue;
    Rng rng(long_numbers ? 4242u : 31337u);
    int failures = 0;
    for (int n = 0; n < 3000 && failures < 5; ++n) {
      std::string text = random_input(rng, long_numbers);
      std::erase_if(text, [](char c) { return c == '\r' || c == '\x1a' || c == '\0'; });
      if (!long_numbers && !digit_runs_fit_int(text)) continue;
      reader_.attach_text(text);
      std::size_t offset = 0;
      std::string trace;
      bool all_ok = true;
      std::string diff;
      for (int k = 0; k < 6 && all_ok && diff.empty(); ++k) {
        const char* at = text.c_str() + offset;
        int used = -1;
        if (!long_numbers && (rng.one_in(2) || !kCompareDoubles)) {
          int expected = 0;
          int got = 0;
          const int ret = std::sscanf(at, "%d%n", &expected, &used);
          const int our = reader_.scan_int(got);
          trace += "int ";
          if (ret != our || (ret == 1 && expected != got)) {
            diff = "int: sscanf ret=" + std::to_string(ret) + " value=" + std::to_string(expected) +
                   ", TextReader ret=" + std::to_string(our) + " value=" + std::to_string(got);
          }
          all_ok = ret == 1;
        } else {
          double expected = 0.0;
          double got = 0.0;
          const int ret = std::sscanf(at, "%lf%n", &expected, &used);
          const int our = reader_.scan_double(got);
          trace += "double ";
          if (ret != our || (ret == 1 && !same_double(expected, got))) {
            char buf[160];
            std::snprintf(buf, sizeof buf, "double: sscanf ret=%d value=%a, TextReader ret=%d value=%a", ret, expected,
                          our, got);
            diff = buf;
          }
          all_ok = ret == 1;
        }
        if (all_ok && diff.empty()) {
          if (used < 0)
            diff = "sscanf did not store %n";
          else
            offset += static_cast<std::size_t>(used);
        }
      }
      if (diff.empty() && all_ok) {
        const Outcome rest = reader_step(reader_, Op::Rest);
        if (rest.text != text.substr(offset)) {
          diff =
              "rest: sscanf stopped before " + escape(text.substr(offset)) + ", TextReader before " + escape(rest.text);
        }
      }
      if (!diff.empty()) {
        ++failures;
        ADD_FAILURE() << "input " << escape(text) << "\nconversions: " << trace << "\n" << diff;
      }
    }
  }
  if (!kCompareDoubles) GTEST_SKIP() << kDoublesDiffer;
}

// Hand-checked conversions that show the C rules the reader follows: how much
// a failed conversion consumes and when the end-of-file indicator is set.
TEST(TextReaderConversions, ConsumeAndEndOfFileLikeTheCLibrary) {
  struct Case {
    const char* input;
    Op op;
    int ret;
    double value;  // the number read when ret is 1
    const char* rest;
    bool eof_after_op;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {"12abc", Op::Int, 1, 12, "abc", false},
      {"x", Op::Int, 0, 0, "x", false},
      {"-x", Op::Int, 0, 0, "x", false},  // the sign stays consumed
      {"-", Op::Int, 0, 0, "", true},
      {" \t\r\n", Op::Int, -1, 0, "", true},
      {"7\r", Op::Int, 1, 7, "\r", false},  // a lone CR at the very end is a character
      {"3\x1a"
       "4",
       Op::Int, 1, 3, "", true},
      {"1e+x", Op::Double, 1, 1, "x", false},
      {"1e", Op::Double, 1, 1, "", true},
      {"nax 5", Op::Double, 0, 0, " 5", false},  // the wrong letter is consumed
      {"infx", Op::Double, 1, inf, "x", false},
      {"-infinity\r\n", Op::Double, 1, -inf, "\n", false},
      {".x", Op::Double, 0, 0, "x", false},
      {"5.\r\n7", Op::Double, 1, 5, "\n7", false},
      {"0x1p3,", Op::Double, 1, 8, ",", false},
  };
  auto scan = [](TextReader& reader, Op op, double& value) {
    if (op == Op::Double) return reader.scan_double(value);
    int v = 0;
    const int ret = reader.scan_int(v);
    value = v;
    return ret;
  };
  for (const Case& c : cases) {
    // The first item of an input and one behind another take different paths.
    for (const bool after_an_item : {false, true}) {
      TextReader reader;
      reader.attach_text(std::string(after_an_item ? "7 " : "") + c.input);
      SCOPED_TRACE(escape(c.input) + (after_an_item ? " after an item" : ""));
      double value = 0.0;
      if (after_an_item) {
        ASSERT_EQ(scan(reader, c.op, value), 1);
        ASSERT_EQ(value, 7);
      }
      const int ret = scan(reader, c.op, value);
      EXPECT_EQ(ret, c.ret);
      if (c.ret == 1) {
        EXPECT_EQ(value, c.value);
      }
      EXPECT_EQ(reader.eof(), c.eof_after_op);
      const Outcome rest = reader_step(reader, Op::Rest);
      EXPECT_EQ(escape(rest.text), escape(c.rest));
      EXPECT_TRUE(reader.eof());
    }
  }
}

// "%d" out of the range of int holds at the nearest limit.
TEST(TextReaderConversions, IntOutOfRangeClamps) {
  struct Case {
    std::string input;
    int value;
    const char* rest;
  };
  const Case cases[] = {
      {"2147483647", INT_MAX, ""},
      {"2147483648", INT_MAX, ""},
      {"2147483648 ", INT_MAX, " "},
      {"-2147483648", INT_MIN, ""},
      {"-2147483649 x", INT_MIN, " x"},
      {"9999999999\t", INT_MAX, "\t"},
      {"+0000000000000000002147483648\n", INT_MAX, "\n"},
      {"99999999999999999999999999999.5", INT_MAX, ".5"},
      {"-1" + std::string(600000, '0') + "\r\n", INT_MIN, "\n"},
      {"  " + std::string(600000, '9') + "abc", INT_MAX, "abc"},
  };
  for (const Case& c : cases) {
    for (const bool after_an_item : {false, true}) {
      TextReader reader;
      reader.attach_text(std::string(after_an_item ? "7 " : "") + c.input);
      SCOPED_TRACE(escape(c.input, 40) + (after_an_item ? " after an item" : ""));
      int value = 0;
      if (after_an_item) {
        ASSERT_EQ(reader.scan_int(value), 1);
        ASSERT_EQ(value, 7);
      }
      EXPECT_EQ(reader.scan_int(value), 1);
      EXPECT_EQ(value, c.value);
      EXPECT_EQ(reader_step(reader, Op::Rest).text, c.rest);
    }
  }
}

// Lines and tokens far longer than a block of the reader.
TEST_F(TextReaderDifferential, LongLinesAndTokensCrossBlocks) {
  Rng rng(5150u);
  std::vector<std::pair<std::string, std::vector<std::vector<Op>>>> inputs;

  // 1 MB of tokens without a line end (a lone CR is not one).
  std::string line;
  while (line.size() < (1u << 20)) {
    line += rng.one_in(2) ? short_number(rng) : word_token(rng);
    line += rng.one_in(20) ? "\r" : rng.one_in(3) ? "\t" : " ";
  }
  ASSERT_TRUE(digit_runs_fit_int(line));
  {
    std::vector<Op> tokens = random_ops(rng, 120000, true, false);
    tokens.push_back(Op::Line);
    inputs.push_back({line,
                      {{Op::Line, Op::Char, Op::Line},
                       {Op::Word, Op::Double, Op::Int, Op::Line, Op::Rewind, Op::Char, Op::SkipLine, Op::Line},
                       tokens}});
  }

  // Numbers of 600 KB, most of whose digits decide nothing, or only the last one.
  const std::string zeros(600000, '0');
  const std::string big_tokens[] = {
      "1" + zeros + ".5",
      "0." + zeros + "15e600001",
      "9007199254740993" + zeros + "e-600000",   // a tie: rounds to even
      "9007199254740993" + zeros + "1E-600001",  // just above the tie
      "-9007199254740993." + zeros + "1",
      "-0x1." + zeros + "1p0",
      "0x1" + zeros + "p-2400000",
      std::string(600000, 'a') + "e5",
  };
  for (const std::string& token : big_tokens) {
    inputs.push_back({"\t  " + token + " 7\r\nnext line\r\n",
                      {{Op::Double, Op::Int, Op::Line, Op::Line, Op::Char},
                       {Op::Word, Op::Line, Op::Char},
                       {Op::Char, Op::Char, Op::Double, Op::Double, Op::Rewind, Op::Line}}});
  }

  for (const auto& [raw, op_lists] : inputs) {
    for (const std::vector<Op>& ops : op_lists) {
      const std::string diff = check(raw, ops);
      EXPECT_TRUE(diff.empty()) << diff;
    }
  }
  if (!kCompareDoubles) GTEST_SKIP() << kDoublesDiffer;
}

// Appends lines (CR LF) and padding so that a CR lands at offset `cr_at`.
void append_lines_with_cr_at(std::string& s, std::size_t cr_at, Rng& rng) {
  for (int n = 0; s.size() + 40 < cr_at; ++n) {
    // Appended piece by piece: GCC 12 warns wrongly (-Wrestrict) about a
    // chain of operator+ that starts with a literal.
    s += 'w';
    s += std::to_string(n);
    s += ' ';
    s += short_number(rng);
    s += " -";
    s += std::to_string(rng.below(1000));
    s += " abc\r\n";
  }
  while (s.size() < cr_at) s += static_cast<char>('a' + rng.below(26));
  s += '\r';
}

// A CR at the end of one raw block of the reader and an LF at the start of
// the next still read as one line end; other followers keep the CR.
TEST_F(TextReaderDifferential, CrLfAcrossBlockBoundary) {
  Rng rng(8086u);
  struct Case {
    const char* what;
    std::string after_first_cr;  // follows the CR at READ_BLOCK_SIZE - 1
    bool second_boundary;        // a CR LF also straddles 2 * READ_BLOCK_SIZE
  };
  const Case cases[] = {
      {"LF", "\nnext 1 2.5\r\n", false},
      {"LF, and again at the next block", "\n", true},
      {"a letter", "x more\r\n", false},
      {"the end of the input", "", false},
      {"0x1A", "\x1anever read\r\n", false},
      {"CR LF", "\r\nlast", false},
      {"only LF", "\n", false},
  };
  for (const Case& c : cases) {
    std::string raw;
    append_lines_with_cr_at(raw, READ_BLOCK_SIZE - 1, rng);
    raw += c.after_first_cr;
    if (c.second_boundary) {
      append_lines_with_cr_at(raw, 2 * READ_BLOCK_SIZE - 1, rng);
      raw += "\nend\r\n";
      ASSERT_EQ(raw.substr(2 * READ_BLOCK_SIZE - 1, 2), "\r\n");
    }
    ASSERT_EQ(raw[READ_BLOCK_SIZE - 1], '\r');
    ASSERT_TRUE(digit_runs_fit_int(raw));

    const std::size_t lines = static_cast<std::size_t>(std::count(raw.begin(), raw.end(), '\n')) + 2;
    const std::vector<std::vector<Op>> op_lists = {
        std::vector<Op>(lines, Op::Line),     {},  // everything with get_char
        std::vector<Op>(lines, Op::SkipLine), random_ops(rng, 60000, true, false),
        std::vector<Op>(lines * 4, Op::Word),
    };
    for (const std::vector<Op>& ops : op_lists) {
      const std::string diff = check(raw, ops);
      EXPECT_TRUE(diff.empty()) << c.what << ": " << diff;
    }
  }
}

// A number that starts in one block and ends in the next, behind many CR LF
// lines that the translation has removed from the first block.
TEST_F(TextReaderDifferential, NumbersSplitByBlockBoundary) {
  Rng rng(6502u);
  for (const char* number : {"1234567", "-98765.4321", "+31415.9e-3", "0x1.8p1"}) {
    for (std::size_t before_boundary = 1; before_boundary <= 8; ++before_boundary) {
      std::string raw;
      while (raw.size() + 8 < READ_BLOCK_SIZE - before_boundary) raw += rng.one_in(2) ? "7 8\r\n" : "9\t\r\n";
      raw.append(READ_BLOCK_SIZE - before_boundary - raw.size(), ' ');
      raw += number;
      raw += " 5\r\n-6\r\n";
      ASSERT_EQ(raw.substr(READ_BLOCK_SIZE - before_boundary, 2), std::string(number).substr(0, 2));

      // Whole lines up to shortly before the number, then item by item.
      const std::size_t lines_before = static_cast<std::size_t>(std::count(raw.begin(), raw.end(), '\n')) - 2;
      const bool integer = std::string_view(number).find_first_of(".x") == std::string_view::npos;
      std::vector<std::vector<Op>> op_lists = {std::vector<Op>(40, integer ? Op::Int : Op::Double),
                                               random_ops(rng, 40, true, false)};
      for (std::vector<Op>& ops : op_lists) {
        ops.insert(ops.begin(), lines_before - 3, Op::SkipLine);
        const std::string diff = check(raw, ops);
        EXPECT_TRUE(diff.empty()) << number << " starting " << before_boundary
                                  << " bytes before the block end: " << diff;
      }
    }
  }
  if (!kCompareDoubles) GTEST_SKIP() << kDoublesDiffer;
}

}  // namespace
