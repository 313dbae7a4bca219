// The statistic of each group of rows (a calendar period or a fixed group)
// under the rule of completeness, and the totals row that goes with it.
#pragma once

#include "aggregation_settings.h"
#include "calendar.h"

namespace tabsum {

// The value written for one column of a group: its statistic over the
// `valid` values, or MISSING_VALUE when the group has no valid value (a
// count is then 0) or, with a share `min_valid` above 0, fewer valid values
// than that share of `expected`.
double group_value(Statistic statistic, double min_valid, double expected, double valid, double sum,
                   double minimum, double maximum);

// The same for the totals row: over every valid value of the run, with no
// share asked for; a sum of nothing is 0, as the totals row always wrote.
double totals_value(Statistic statistic, double valid, double sum, double minimum, double maximum);

// Sets the groups' smallest and largest values and the run's to their
// starting points, and makes room for the marks of left_out_zeros.h; the
// column sums must have been obtained.
void prepare_statistics(TabsumRun& run);

// The start of the first header row: "Sums from <in-name> (<n> intervals): ",
// the statistic and the period named in it when they are asked for.
void put_header_title(TabsumRun& run);

// Writes the row of the current group, stamped `stamp`, adds the group to
// the run's totals and starts the next group.
void close_statistics_group(TabsumRun& run, const textio::Stamp& stamp, double expected);

// Adds the current group to the run's totals without writing its row,
// the 0.0 of the dry fields left out of its extremes entered first.
void fold_group_into_totals(TabsumRun& run);

// The totals row "0 0 0 0 ..." of the statistic.
void write_statistics_totals(TabsumRun& run);

}  // namespace tabsum
