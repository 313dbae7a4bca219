// The warnings of a run: what tabsum found wrong with a table it summed all
// the same. They go to standard error after the run, each line beginning
// with "tabsum: warning: ", and never change the exit code.
#pragma once

#include <cstdint>
#include <string>

#include "stamp_check.h"

namespace tabsum {

struct TabsumRun;

// The rows that do not follow the row before them by the table's step, or
// the first two rows when they give no step forward in time; empty when
// the stamps are in step or not checked.
std::string step_warning(const StampCheck& check);

// One line for each row stamped 0 0 0 0 (the first few of them, then one
// line with how many there were).
std::string totals_row_warnings(const StampCheck& check);

// An input file that was shorter at the end of the reading than when it
// was opened.
std::string shrunk_input_warning(const std::string& in_name, long long size_at_open, std::uint64_t bytes_read);

// All warnings of a finished run, in the order above. Reads the input
// again for the line numbers of the places it names.
std::string run_warnings(TabsumRun& run);

}  // namespace tabsum
