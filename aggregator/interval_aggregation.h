// The second pass over the input: header copy, interval rows, totals row
// and the console lines of every row and of the whole run.
#pragma once

#include "aggregation_settings.h"

namespace tabsum {

// Copies the header rows from the start of the input, the first one
// rewritten as "Sums from <in-name> (<n> intervals): <row>".
void copy_header(TabsumRun& run);

// Reads the data rows up to the end of the data, writing one interval row
// per completed interval and one console line per row.
void aggregate_rows(TabsumRun& run);

// Adds the unfinished interval to the totals, writes the totals row and
// prints the run line.
void finish_totals(TabsumRun& run);

}  // namespace tabsum
