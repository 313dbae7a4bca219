// printf's floating-point conversions, written into a character array.
// Each function returns the end of what it wrote; the caller provides at
// least MAX_NUMBER_CHARS of room.
#pragma once

namespace textio {

// "%.17f" of the largest double needs 309 digits before the point.
constexpr int MAX_NUMBER_CHARS = 360;

char* format_fixed(char* out, double v, int precision);    // "%.<precision>f"
char* format_general(char* out, double v, int precision);  // "%.<precision>g"
// "%.1f", exact like printf but without its general machinery: values are
// written for every output row, so this is the hot path of the row writer.
char* format_one_decimal(char* out, double v);

}  // namespace textio
