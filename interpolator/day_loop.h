// The daily loop: interpolate the Klima and Sammler stations' hours, scale
// each reading window to what the station measured, write the day's rows
// and move the ring on by a day.
#pragma once

#include "fatal_errors.h"
#include "run_state.h"

namespace pluvo {

// Runs day after day until the row of hour 24 of the end date (or of the
// first day on or after it) has been written, or, once the hourly data
// have ended, the row of hour 24 of the day of their last record (or of
// the first day on or after it).
void run_day_loop(PluvoRun& run);

// Scales station k's hours in slots first..last to its measured total m in
// slot 0, given the sum S of those hours: S > 0 scales every
// valid hour by m / S; S = 0 (or not a number) writes 0.0 in every valid
// hour; S < 0 makes the window missing; a missing m makes it missing too.
// With keep_unmatched_rain, a window with S = 0 and a valid m > 0 gets
// m / n in each of its n valid hours (hours whose estimate is valid: those
// that would be 0.0), so the measured rain is kept.
void scale_window(PluvoRun& run, int k, double sum, int first_slot, int last_slot);

// The same scaling without counting the window: true when its measured
// rain found no estimate (and so was kept, with keep_unmatched_rain). It writes only station k's entries, so stations can be
// scaled side by side.
bool scale_window_hours(PluvoRun& run, int k, double sum, int first_slot, int last_slot);

}  // namespace pluvo
