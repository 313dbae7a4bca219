#include "number_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "exact_rounding.h"

namespace textio {

char* format_general(char* out, double v, int precision) {
  return std::to_chars(out, out + MAX_NUMBER_CHARS, v, std::chars_format::general, precision).ptr;
}

namespace {

constexpr std::uint64_t POW10[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

// printf's "%.<precision>f" for precision 0..6 and |v| * 10^precision below
// 2^52, without its general machinery. The digits are round(|v| * 10^p) of
// the exact product, ties to even, as printf rounds.
char* format_fixed_exact(char* out, double v, int precision) {
  const double a = std::fabs(v);
  const std::uint64_t scaled = round_scaled(a, static_cast<double>(POW10[precision]));
  if (std::signbit(v)) *out++ = '-';
  out = std::to_chars(out, out + 24, scaled / POW10[precision]).ptr;
  if (precision > 0) {
    *out++ = '.';
    std::uint64_t fraction = scaled % POW10[precision];
    for (int i = precision - 1; i >= 0; --i) {
      out[i] = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    out += precision;
  }
  return out;
}

}  // namespace

char* format_fixed(char* out, double v, int precision) {
  if (precision >= 0 && precision <= 6 && std::fabs(v) * static_cast<double>(POW10[precision]) < 4e15) {
    return format_fixed_exact(out, v, precision);
  }
  return std::to_chars(out, out + MAX_NUMBER_CHARS, v, std::chars_format::fixed, precision).ptr;
}

}  // namespace textio
