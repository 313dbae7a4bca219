// The hourly ring: 26 slots over storage obtained once per run.
#pragma once

#include "fatal_errors.h"
#include "run_state.h"

namespace pluvo {

// Obtains the ring's storage, sets every value to -999.0 and every stamp
// field to -999, and points slot k at stamp k and value array k.
void obtain_ring(PluvoRun& run, const AllocationSeam& seam = {});

// Slot 25 takes slot 0's references, then slot k those of slot k + 1 for
// k = 0..24: slots 0..24 turn by one hour towards 0, and slot 24 ends up
// with the storage slot 0 had.
void rotate_ring(PluvoRun& run);

// Sets values first..last of a value array to the missing value.
void set_missing(const PluvoRun& run, double* values, int first, int last);

}  // namespace pluvo
