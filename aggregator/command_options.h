// The options in front of tabsum's file names: calendar periods, the
// statistic and the completeness asked of each group.
#pragma once

#include "aggregation_settings.h"

namespace tabsum {

// Reads the options that stand before the first other argument, as
// "--name value" or "--name=value"; "--" ends them. Only the names below
// are options, so that any other argument, one starting with "--"
// included, is a file name as it always was. Returns the index in argv of
// the first argument behind them. A value that cannot be used, an option
// given twice, and an option of the calendar without --by end the run.
//   --by day|month|year|water-year   --stamps end|start   --step HOURS
//   --min-valid SHARE   --day-start HOUR   --water-year-start MONTH
//   --stat sum|mean|min|max|count
int parse_options(int argc, const char* const* argv, PeriodSettings& settings);

// The arguments behind the options in calendar mode: in-name, out-name,
// then optionally headrows, data columns and additional columns, read as
// in the mode of fixed groups. `argv[0]` stands before the first of them.
// Returns false when there are too few of them.
bool parse_period_command_line(int argc, const char* const* argv, AggregationSettings& settings);

}  // namespace tabsum
