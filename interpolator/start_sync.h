// Before the first day: each station file is searched forward to the start
// date and the hourly ring is filled from there. Each file has been
// returned to its start and its header lines skipped before.
#pragma once

#include "run_state.h"

namespace pluvo {

// Searches the ANETZ file for hour 1 of the start date, writes the rows of
// hours 1 to 6 and leaves hour 7 of the start date to hour 6 of the next
// day in slots 1..24.
void sync_anetz(PluvoRun& run);

// Reads Klima pairs (7 h into slot 1, 19 h into slot 13) up to the pair of
// the start date.
void sync_klima(PluvoRun& run);

// Reads Sammler records (into slot 1, times 10) up to the start date.
void sync_sammler(PluvoRun& run);

bool same_date(const DateHour& a, int day, int month, int year);

}  // namespace pluvo
