// printf's floating-point conversions, written into a character array.
// Each function returns the end of what it wrote; the caller provides at
// least MAX_NUMBER_CHARS of room. "%.1f" for the rows of a table has a
// fast path of its own in one_decimal_format.h.
#pragma once

namespace textio {

// "%.17f" of the largest double needs 309 digits before the point.
constexpr int MAX_NUMBER_CHARS = 360;

char* format_fixed(char* out, double v, int precision);    // "%.<precision>f"
char* format_general(char* out, double v, int precision);  // "%.<precision>g"

}  // namespace textio
