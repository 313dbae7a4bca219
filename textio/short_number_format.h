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

}  // namespace textio
