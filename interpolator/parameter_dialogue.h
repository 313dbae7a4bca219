// The console dialogue that asks for every run parameter.
#pragma once

#include "run_state.h"

namespace pluvo {

// Writes each prompt to the console and reads its answer from the dialogue
// input; an answer that does not convert leaves its parameter unchanged.
// Then brings the dates into range.
void run_parameter_dialogue(PluvoRun& run);

// Two-digit years become 19xx, months are held to 1..12, February gets the
// length of the end year, and days are held to the length of their month.
void bring_dates_into_range(RunParameters& params);

bool is_leap_year(int year);

// A file name ends at a NUL byte, as it would for the system.
void keep_up_to_nul(std::string& name);

}  // namespace pluvo
