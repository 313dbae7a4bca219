// Number formatting against printf: "%.<p>f", "%.<p>g", "%.1f" and the
// padded forms the output buffer writes, byte for byte.
//
// Layout of the input: a mode byte (bit 0: the next eight bytes are the
// double's bits, otherwise the rest is text converted with strtod; the
// other bits choose the precision), a width byte, then the number.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "number_format.h"
#include "one_decimal_format.h"
#include "output_buffer.h"

namespace {

// "%.17f" of the largest double is the longest text the buffers are made for.
constexpr int MAX_PRECISION = 17;

std::string printf_text(const char* format, int width, int precision, double v) {
  char buf[textio::MAX_NUMBER_CHARS + 64];
  const int n = width < 0 ? std::snprintf(buf, sizeof buf, format, precision, v)
                          : std::snprintf(buf, sizeof buf, format, width, precision, v);
  if (n < 0 || n >= static_cast<int>(sizeof buf)) fuzz::finding("printf text does not fit");
  return std::string(buf, static_cast<std::size_t>(n));
}

void expect_same(const char* what, int precision, double v, const std::string& expected, const std::string& got) {
  if (expected == got) return;
  char value[64];
  std::snprintf(value, sizeof value, "%a", v);
  fuzz::finding(std::string(what) + " of " + value + " with precision " + std::to_string(precision) +
                ": printf " + fuzz::escaped(expected) + ", ours " + fuzz::escaped(got));
}

// The functions promise to stay within MAX_NUMBER_CHARS; a guard behind that
// room must stay untouched.
template <class Format>
std::string formatted(Format&& format) {
  char buf[textio::MAX_NUMBER_CHARS + 16];
  for (char& c : buf) c = '\x7f';
  char* end = format(buf);
  if (end < buf || end > buf + textio::MAX_NUMBER_CHARS) fuzz::finding("formatted text beyond its room");
  for (std::size_t i = textio::MAX_NUMBER_CHARS; i < sizeof buf; ++i) {
    if (buf[i] != '\x7f') fuzz::finding("formatting wrote beyond its room");
  }
  return std::string(buf, end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ByteSource in(data, size);
  const unsigned mode = in.byte();
  const int precision = static_cast<int>((mode >> 1) % (MAX_PRECISION + 1));
  const int width = in.byte() % 40;
  double v;
  if (mode & 1) {
    v = in.raw_double();
  } else {
    const std::string text(in.rest());
    v = std::strtod(text.c_str(), nullptr);
  }

  expect_same("format_fixed", precision, v, printf_text("%.*f", -1, precision, v),
              formatted([&](char* out) { return textio::format_fixed(out, v, precision); }));
  expect_same("format_general", precision, v, printf_text("%.*g", -1, precision, v),
              formatted([&](char* out) { return textio::format_general(out, v, precision); }));
  expect_same("format_one_decimal", 1, v, printf_text("%.*f", -1, 1, v),
              formatted([&](char* out) { return textio::format_one_decimal(out, v); }));

  // The output buffer's forms, into a buffer of the smallest size it takes,
  // so that a number at its end goes through the flush.
  textio::OutputBuffer out(nullptr, 1);
  std::string expected;
  for (int i = 0; i < 3; ++i) {
    out.put_fixed(v, precision);
    out.put(' ');
    out.put_fixed(v, precision, width);
    out.put(' ');
    out.put_general(v, precision);
    out.put(' ');
    out.put_one_decimal(v);
    out.put(' ');
    out.put_int(static_cast<long long>(precision) - 9, width);
    out.put('\n');
    expected += printf_text("%.*f", -1, precision, v) + ' ' + printf_text("%*.*f", width, precision, v) + ' ' +
                printf_text("%.*g", -1, precision, v) + ' ' + printf_text("%.*f", -1, 1, v) + ' ';
    char int_text[64];
    std::snprintf(int_text, sizeof int_text, "%*d\n", width, precision - 9);
    expected += int_text;
  }
  expect_same("OutputBuffer", precision, v, expected, out.take_captured());
  return 0;
}
