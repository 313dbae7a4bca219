// A whole pluvo run: start-up, start synchronisation, daily loop and stop.
#pragma once

#include "run_state.h"

namespace pluvo {

// From the storage and the banner to the written output header.
void start_up(PluvoRun& run);
// Positions the station files, clears the ring and synchronises the files
// with the start date.
void start_synchronisation(PluvoRun& run);
// The closing line, the note on hourly data that ended early, and the
// checked closing of every file.
void stop(PluvoRun& run);

// All of it; returns the exit code of a complete run (0). Failures throw
// textio::FatalError.
int run_pluvo(PluvoRun& run);

}  // namespace pluvo
