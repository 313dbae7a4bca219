// The hourly ring: 26 slots over storage obtained once per run.
#pragma once

#include "run_state.h"

namespace pluvo {

// Obtains the ring's storage for station indices up to the first room of
// the station table, sets every value to -999.0 and every stamp field to
// -999, and points slot k at stamp k and value array k.
void obtain_ring(PluvoRun& run);

// Once the headers are read: when the run has more stations than a value
// array holds, obtains value arrays for all of them (allocation code 16)
// in place of the first ones, every value -999.0.
void widen_ring(PluvoRun& run);

// Slot 25 takes slot 0's references, then slot k those of slot k + 1 for
// k = 0..24: slots 0..24 turn by one hour towards 0, and slot 24 ends up
// with the storage slot 0 had.
void rotate_ring(PluvoRun& run);

// Sets values first..last of a value array to the missing value.
void set_missing(const PluvoRun& run, double* values, int first, int last);

}  // namespace pluvo
