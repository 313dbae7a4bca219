// TextReader against the C library's formatted input.
//
// The input is a list of operations and a text. The text is read with these
// operations twice: by the C library (fscanf "%d", "%lf", "%s", "\n", fgets,
// fgetc, rewind) from a memory stream that holds the text as Windows text
// mode delivers it (CR LF read as LF, the input ends at the first 0x1A), and
// by TextReader from the raw bytes, from memory or from a file. After every
// operation the results, the values and the end-of-file indicator must be
// the same, and so must the rest of the input before every rewind and at
// the end, which shows where each side stopped.
//
// Layout of the input: a flags byte, the number of operations K, K
// operation bytes, then the text. The flags choose the source of the
// reader (bit 0: a file) and a padding line put in front of the text (bits
// 1-2: its line end, none without one), so that the text starts a few
// bytes (bits 3-7) before the end of the reader's first block. K from 128
// up reads from memory as from a pipe instead (K - 128 operations): one
// more byte then gives the bytes per read (0: all at once), and the
// reader replays what it kept at a return to the start. A return after
// reading beyond what was kept fails, as it must on a pipe; the comparison
// ends there.

#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "text_reader.h"

namespace {

using textio::READ_BLOCK_SIZE;

enum class Op { Int, Double, Word, SkipSpace, Line, SkipLine, Char, Rewind, LinePiece, Rest };
constexpr int OP_KINDS = 9;  // Rest is added: before every rewind and at the end

// The characters of a line piece: fgets with room for them and the NUL.
constexpr std::size_t PIECE_LIMIT = 7;

const char* op_name(Op op) {
  static const char* const names[] = {"int",     "double",  "word",   "skip_space",      "read_line",
                                      "skip_line", "get_char", "rewind", "read_line_piece", "rest"};
  return names[static_cast<int>(op)];
}

std::string text_mode(std::string_view raw) {
  raw = raw.substr(0, raw.find('\x1a'));
  std::string out;
  out.reserve(raw.size());
  for (std::size_t from = 0; from < raw.size();) {
    std::size_t cr = raw.find('\r', from);
    if (cr == std::string_view::npos) cr = raw.size();
    out.append(raw, from, cr - from);
    if (cr == raw.size()) break;
    if (cr + 1 == raw.size() || raw[cr + 1] != '\n') out += '\r';
    from = cr + 1;
  }
  return out;
}

// One long line in front of the text, skipped by a first skip_line on both
// sides. Its line end is an LF, a CR LF, or a CR as its very last byte that
// the text's first byte may or may not complete.
void append_padding(std::string& s, unsigned kind, std::size_t length) {
  s.append(length, 'x');
  if (kind == 1) s.back() = '\n';
  if (kind == 2) s.replace(s.size() - 2, 2, "\r\n");
  if (kind == 3) s.back() = '\r';
}

struct Outcome {
  int ret = 0;
  int int_value = 0;
  double double_value = 0.0;
  std::string text;
  bool eof = false;
};

// What "%d" must give for the characters it consumed: their value, held at
// the limits of int where it does not fit.
int expected_int(std::string_view consumed) {
  std::size_t i = 0;
  while (i < consumed.size() && textio::is_c_space(static_cast<unsigned char>(consumed[i]))) ++i;
  bool negative = false;
  if (i < consumed.size() && (consumed[i] == '+' || consumed[i] == '-')) negative = consumed[i++] == '-';
  long long magnitude = 0;
  for (; i < consumed.size(); ++i) {
    magnitude = magnitude * 10 + (consumed[i] - '0');
    if (magnitude > (1LL << 40)) magnitude = 1LL << 40;
  }
  const long long v = negative ? -magnitude : magnitude;
  return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

std::string_view c_string_part(const std::string& s) { return std::string_view(s).substr(0, s.find('\0')); }

Outcome stdio_step(std::FILE* f, Op op, std::vector<char>& buf, const std::string& text) {
  Outcome o;
  const long before = std::ftell(f);
  switch (op) {
    case Op::Int:
      o.ret = std::fscanf(f, "%d", &o.int_value);
      if (o.ret == 1) {
        // Out of the range of int the C library's value is not defined;
        // the reader holds it at the limit.
        const long after = std::ftell(f);
        o.int_value = expected_int(std::string_view(text).substr(static_cast<std::size_t>(before),
                                                                 static_cast<std::size_t>(after - before)));
      }
      break;
    case Op::Double: o.ret = std::fscanf(f, "%lf", &o.double_value); break;
    case Op::Word:
      o.ret = std::fscanf(f, "%s", buf.data());
      if (o.ret == 1) o.text = buf.data();
      break;
    case Op::SkipSpace: o.ret = std::fscanf(f, "\n"); break;
    case Op::Line:
      o.ret = std::fgets(buf.data(), static_cast<int>(buf.size()), f) != nullptr;
      if (o.ret == 1) o.text = buf.data();
      break;
    case Op::SkipLine: o.ret = std::fgets(buf.data(), static_cast<int>(buf.size()), f) != nullptr; break;
    case Op::LinePiece:
      o.ret = std::fgets(buf.data(), static_cast<int>(PIECE_LIMIT + 1), f) != nullptr;
      if (o.ret == 1) o.text = buf.data();
      break;
    case Op::Char: o.ret = std::fgetc(f); break;
    case Op::Rewind: std::rewind(f); break;
    case Op::Rest:
      // In blocks: after a rewind the rest can be the whole padding.
      for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), f)) > 0;) o.text.append(buf.data(), n);
      break;
  }
  o.eof = std::feof(f) != 0;
  return o;
}

Outcome reader_step(textio::TextReader& r, Op op) {
  Outcome o;
  switch (op) {
    case Op::Int: o.ret = r.scan_int(o.int_value); break;
    case Op::Double: o.ret = r.scan_double(o.double_value); break;
    case Op::Word: o.ret = r.scan_word(o.text); break;
    case Op::SkipSpace: r.skip_space(); break;
    case Op::Line: o.ret = r.read_line(o.text); break;
    case Op::SkipLine: o.ret = r.skip_line(); break;
    case Op::LinePiece: o.ret = r.read_line_piece(o.text, PIECE_LIMIT); break;
    case Op::Char: o.ret = r.get_char(); break;
    case Op::Rewind: o.ret = r.rewind() ? 0 : -1; break;
    case Op::Rest:
      for (std::string line; r.read_line(line);) o.text += line;
      break;
  }
  o.eof = r.eof();
  return o;
}

bool same(Op op, const Outcome& c, const Outcome& r) {
  if (c.eof != r.eof) return false;
  switch (op) {
    case Op::SkipSpace:
    case Op::Rewind: return r.ret == 0;
    case Op::Int: return c.ret == r.ret && (c.ret != 1 || c.int_value == r.int_value);
    case Op::Double:
      // Bit for bit, NaN included: both sides convert the same text.
      return c.ret == r.ret &&
             (c.ret != 1 || std::bit_cast<std::uint64_t>(c.double_value) == std::bit_cast<std::uint64_t>(r.double_value));
    case Op::Word:
    case Op::Line: return c.ret == r.ret && (c.ret != 1 || c.text == c_string_part(r.text));
    // fgets stops at a NUL's place only in what it reports: the piece is
    // compared up to its NUL too.
    case Op::LinePiece: return c.ret == r.ret && (c.ret != 1 || c.text == c_string_part(r.text));
    case Op::SkipLine:
    case Op::Char: return c.ret == r.ret;
    case Op::Rest: return c.text == r.text;
  }
  return false;
}

std::string describe(Op op, const Outcome& o) {
  char buf[96];
  std::string s = "ret=" + std::to_string(o.ret);
  if (op == Op::Int && o.ret == 1) s += " value=" + std::to_string(o.int_value);
  if (op == Op::Double && o.ret == 1) {
    std::snprintf(buf, sizeof buf, " value=%.17g (%a)", o.double_value, o.double_value);
    s += buf;
  }
  if (op == Op::Word || op == Op::Line || op == Op::LinePiece || op == Op::Rest) s += " text=" + fuzz::escaped(o.text, 80);
  return s + (o.eof ? " eof=1" : " eof=0");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ByteSource in(data, size);
  const unsigned flags = in.byte();
  const bool from_file = flags & 1;
  const unsigned pad_kind = (flags >> 1) & 3;
  const std::size_t pad_before_boundary = flags >> 3;
  std::vector<Op> ops;
  const unsigned op_count = in.byte();
  const bool unseekable = op_count >= 128;
  const unsigned chunk = unseekable ? in.byte() : 0;
  for (unsigned k = op_count % 128; k > 0; --k) {
    const Op op = static_cast<Op>(in.byte() % OP_KINDS);
    // The rest is compared before every rewind too, so that a difference
    // of position cannot be hidden by the return to the start; not from a
    // pipe, where reading the rest would keep all of it for the return.
    if (op == Op::Rewind && !unseekable) ops.push_back(Op::Rest);
    ops.push_back(op);
  }
  ops.push_back(Op::Rest);
  if (pad_kind != 0) {
    // The padding line is passed over by lines, at the start and after every
    // rewind: item by item its 256 KB would take most of the fuzzer's time.
    std::vector<Op> padded = {Op::SkipLine};
    for (Op op : ops) {
      padded.push_back(op);
      if (op == Op::Rewind) padded.push_back(Op::SkipLine);
    }
    ops.swap(padded);
  }

  // Kept from one input to the next: buffers of a block's size that are
  // obtained afresh for every input make the page faults cost more than
  // the reading.
  static textio::TextReader reader;
  static std::string raw;
  static std::string text;
  static std::vector<char> buf;
  raw.clear();
  if (pad_kind != 0) append_padding(raw, pad_kind, READ_BLOCK_SIZE - pad_before_boundary);
  raw += in.rest();
  text = text_mode(raw);

  std::FILE* ref = fmemopen(text.data(), text.size(), "r");
  if (!ref) fuzz::finding("fmemopen failed");
  if (unseekable) {
    reader.attach_unseekable_text(raw, chunk == 0 ? raw.size() + 1 : chunk);
  } else if (from_file) {
    const std::string path = fuzz::private_path("text_reader_input");
    fuzz::write_file(path, raw);
    if (!reader.open(path)) fuzz::finding("TextReader cannot open " + path);
  } else {
    reader.attach_text(raw);
  }

  buf.assign(text.size() + 2, '\0');
  for (std::size_t k = 0; k < ops.size(); ++k) {
    const Outcome c = stdio_step(ref, ops[k], buf, text);
    const Outcome r = reader_step(reader, ops[k]);
    if (unseekable && ops[k] == Op::Rewind && r.ret != 0) {
      // A pipe that one read delivers whole is kept whole: its returns
      // never fail.
      if (chunk == 0 && raw.size() < READ_BLOCK_SIZE) fuzz::finding("a return to the start of a pipe read at once failed");
      break;
    }
    if (!same(ops[k], c, r)) {
      std::string what = "TextReader differs from the C library at operation " + std::to_string(k) + " (" +
                         op_name(ops[k]) + ", reading " + (from_file ? "a file" : "memory") + ")\n";
      what += "  C library:  " + describe(ops[k], c) + "\n";
      what += "  TextReader: " + describe(ops[k], r) + "\n";
      what += "  text " + fuzz::escaped(std::string_view(raw).substr(pad_kind ? READ_BLOCK_SIZE - pad_before_boundary : 0));
      std::fclose(ref);
      fuzz::finding(what);
    }
  }
  std::fclose(ref);
  reader.close();
  return 0;
}
