// The conversions "%d" and "%lf" of C formatted input on a piece of text,
// with the C library's rules for which characters are consumed.
#pragma once

#include <cstddef>
#include <string_view>

namespace textio {

// Results of a conversion, as the C library counts them for one conversion.
enum ScanResult : int {
  SCAN_INPUT_FAILURE = -1,  // the input ended before the conversion began (EOF)
  SCAN_NO_MATCH = 0,        // the characters do not form the item
  SCAN_OK = 1,
};

// ' ', or one of '\t', '\n', '\v', '\f', '\r' (9 to 13).
inline bool is_c_space(int c) { return c == ' ' || static_cast<unsigned>(c - '\t') < 5u; }

inline bool is_c_digit(int c) { return c >= '0' && c <= '9'; }

struct NumberScan {
  static constexpr int NEED_MORE = -2;
  int status;            // NEED_MORE, or a ScanResult (SCAN_NO_MATCH, SCAN_OK)
  std::size_t consumed;  // characters taken from the input
  bool hit_end;          // the scan asked for a character behind the end
};

// Both scanners start at the first character of the item (white space has
// been skipped and at least one character is there). `at_end` says that no
// characters follow the n given; otherwise a scan that needs more returns
// NEED_MORE and must be repeated on a longer piece from the same start.
NumberScan scan_int_at(const char* p, std::size_t n, bool at_end, int& value);
NumberScan scan_double_at(const char* p, std::size_t n, bool at_end, double& value);

// The length of the decimal number at the start of the text: an optional
// sign, digits with an optional decimal point (at least one digit), and an
// exponent only when digits follow its letter. 0 when the text does not
// start with one; the spellings inf and nan and hexadecimal digits are not
// decimal numbers ("0x1F" gives the 0).
std::size_t decimal_prefix_length(std::string_view text);

// The value of the longest decimal number at the start of the text, after
// leading white space; 0.0 when there is none.
double decimal_prefix_value(std::string_view text);

}  // namespace textio
