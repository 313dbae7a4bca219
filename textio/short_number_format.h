// Fast paths of printf's "%.<p>g" and "%.<p>f" for the values a table's rows
// are mostly made of. Each writes exactly what format_general or
// format_fixed (number_format.h) writes for the same value and returns the
// end of it, or returns null, writing nothing useful, when it leaves the
// value to them. The caller provides MAX_NUMBER_CHARS of room.
#pragma once

namespace textio {

// "%.<precision>g" for precision 1 to 6 and a value shown without an
// exponent, from 0.1 up to below 10^precision, and for zero.
char* format_general_short(char* out, double v, int precision);

// "%.<precision>f" of a whole number below 2^53 in magnitude (a count).
char* format_fixed_whole(char* out, double v, int precision);

// "%.6g" for zero and for magnitudes from 10^-4 up to those that round to
// 10^6: format_general_short with precision 6 (which stops at 0.1), without
// its second pass and its searches, the digits written in pairs.
char* format_general_six(char* out, double v);

// "%.6f" for magnitudes below 4e9 (a count, a mean): format_fixed with
// precision 6, the digits written in pairs by constant divisions.
char* format_six_decimals(char* out, double v);

// "%d": from 0 to 9999 (a date field, a count) the digits written in pairs
// without a loop; other values as std::to_chars writes them. Writes up to
// four bytes more than it shows.
char* format_int(char* out, int v);

}  // namespace textio
