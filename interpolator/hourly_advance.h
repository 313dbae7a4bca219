// Moving the hourly ring forward by one hour.
#pragma once

#include "run_state.h"

namespace pluvo {

// Rotates the ring and reads the next ANETZ record into slot 24, with the
// Klima record at 7 h and 19 h and the Sammler record at 7 h, each checked
// against the ANETZ stamp. Prints the month and day progress marks.
void advance_hour(PluvoRun& run);

// The hour after `s` by the Gregorian calendar; hour 24 is followed by hour
// 1 of the next day. Stamps out of range still move forward; after the last
// day of the year INT_MAX every hour is the latest stamp there can be.
DateHour next_hour(const DateHour& s);

// True when `a` lies before `b` in time.
bool stamp_before(const DateHour& a, const DateHour& b);

}  // namespace pluvo
