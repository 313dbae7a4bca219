#include "number_scan.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace textio {
namespace {

constexpr int END = -1;

inline int lower(int c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

inline bool is_hex_digit(int c) {
  return is_c_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Character i of the piece: END behind the end of the input, NEED_MORE
// behind the end of a piece that is not the end of the input.
struct Piece {
  const char* p;
  std::size_t n;
  bool at_end;
  bool hit_end = false;

  int at(std::size_t i) {
    if (i < n) return static_cast<unsigned char>(p[i]);
    if (!at_end) return NumberScan::NEED_MORE;
    hit_end = true;
    return END;
  }
};

// The C library converts what it collected with strtod; plain decimal text
// goes through from_chars, which rounds the same way, and everything else
// (a leading '+', hexadecimal, inf, nan, overflow) through strtod itself.
bool convert_double(const char* p, std::size_t n, bool plain_decimal, double& value) {
  if (plain_decimal) {
    const char* first = (n > 0 && *p == '+') ? p + 1 : p;
    double v = 0.0;
    auto [ptr, ec] = std::from_chars(first, p + n, v, std::chars_format::general);
    if (ec == std::errc()) {
      value = v;
      return true;
    }
    if (ec == std::errc::invalid_argument) return false;
    // Out of range: strtod gives the C library's overflow and underflow values.
  }
  std::string text(p, n);
  char* endp = nullptr;
  double v = std::strtod(text.c_str(), &endp);
  if (endp == text.c_str()) return false;
  value = v;
  return true;
}

}  // namespace

NumberScan scan_int_at(const char* p, std::size_t n, bool at_end, int& value) {
  Piece in{p, n, at_end};
  std::size_t i = 0;
  int c = in.at(0);
  bool negative = false;
  if (c == '-' || c == '+') {
    negative = c == '-';
    c = in.at(++i);
  }
  const std::size_t digits_from = i;
  long long magnitude = 0;
  bool overflow = false;
  while (c >= 0 && is_c_digit(c)) {
    if (!overflow) {
      magnitude = magnitude * 10 + (c - '0');
      if (magnitude > 2147483648LL) overflow = true;
    }
    c = in.at(++i);
  }
  if (c == NumberScan::NEED_MORE) return {NumberScan::NEED_MORE, 0, false};
  // The character that ended the number is pushed back; a lone sign stays consumed.
  if (i == digits_from) return {SCAN_NO_MATCH, i, in.hit_end};
  long long v = negative ? -magnitude : magnitude;
  if (overflow || v > INT_MAX) v = negative ? INT_MIN : INT_MAX;
  if (v < INT_MIN) v = INT_MIN;
  value = static_cast<int>(v);
  return {SCAN_OK, i, in.hit_end};
}

NumberScan scan_double_at(const char* p, std::size_t n, bool at_end, double& value) {
  constexpr int MORE = NumberScan::NEED_MORE;
  Piece in{p, n, at_end};
  std::size_t i = 0;  // characters taken so far
  int c = in.at(0);
  bool got_sign = false;

  auto no_match = [&](std::size_t taken) { return NumberScan{SCAN_NO_MATCH, taken, in.hit_end}; };
  // Reads the letters of `word` case-insensitively; a wrong letter is consumed.
  auto expect_word = [&](const char* word, bool& ok) -> int {
    for (const char* w = word; *w; ++w) {
      c = in.at(i);
      if (c == MORE) return MORE;
      if (c == END) return END;
      ++i;
      if (lower(c) != *w) {
        ok = false;
        return 0;
      }
    }
    ok = true;
    return 0;
  };

  if (c == '-' || c == '+') {
    got_sign = true;
    c = in.at(++i);
    if (c == MORE) return {MORE, 0, false};
    if (c == END) return no_match(i);
  }

  if (lower(c) == 'n' || lower(c) == 'i') {
    const bool is_nan = lower(c) == 'n';
    ++i;
    bool ok = false;
    int r = expect_word(is_nan ? "an" : "nf", ok);
    if (r == MORE) return {MORE, 0, false};
    if (r == END || !ok) return no_match(i);
    if (!is_nan) {
      c = in.at(i);
      if (c == MORE) return {MORE, 0, false};
      if (c != END && lower(c) == 'i') {
        ++i;
        r = expect_word("nity", ok);
        if (r == MORE) return {MORE, 0, false};
        if (r == END || !ok) return no_match(i);
      }
    }
    if (!convert_double(p, i, false, value)) return no_match(i);
    return {SCAN_OK, i, in.hit_end};
  }

  bool hexa = false;
  bool got_digit = false;
  bool got_dot = false;
  bool got_e = false;
  int exp_char = 'e';
  if (c == '0') {
    c = in.at(++i);
    if (c == MORE) return {MORE, 0, false};
    if (lower(c) == 'x') {
      hexa = true;
      exp_char = 'p';
      c = in.at(++i);
      if (c == MORE) return {MORE, 0, false};
    } else {
      got_digit = true;
    }
  }

  while (c != END) {
    if (is_c_digit(c)) {
      got_digit = true;
    } else if (!got_e && hexa && is_hex_digit(c)) {
      got_digit = true;
    } else if (got_e && lower(static_cast<unsigned char>(p[i - 1])) == exp_char && (c == '-' || c == '+')) {
      // sign of the exponent
    } else if (got_digit && !got_e && lower(c) == exp_char) {
      got_e = got_dot = true;
    } else if (!got_dot && c == '.') {
      got_dot = true;
    } else {
      break;  // not part of the number: pushed back
    }
    c = in.at(++i);
    if (c == MORE) return {MORE, 0, false};
  }

  const std::size_t sign_len = got_sign ? 1 : 0;
  if (i == sign_len || (hexa && i == 2 + sign_len)) return no_match(i);
  if (!convert_double(p, i, !hexa, value)) return no_match(i);
  return {SCAN_OK, i, in.hit_end};
}

std::size_t decimal_prefix_length(std::string_view text) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  auto digits = [&] {
    const std::size_t from = i;
    while (i < n && is_c_digit(static_cast<unsigned char>(text[i]))) ++i;
    return i - from;
  };
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < n && text[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return 0;
  const std::size_t before_exponent = i;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() == 0) i = before_exponent;
  }
  return i;
}

double decimal_prefix_value(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && is_c_space(static_cast<unsigned char>(text[start]))) ++start;
  text.remove_prefix(start);
  const std::size_t length = decimal_prefix_length(text);
  if (length == 0) return 0.0;
  // strtod on the prefix alone rounds it and handles overflow as the C
  // library does for such text.
  const std::string prefix(text.substr(0, length));
  return std::strtod(prefix.c_str(), nullptr);
}

}  // namespace textio
