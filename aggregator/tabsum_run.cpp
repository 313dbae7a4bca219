#include "tabsum_run.h"

#include <cstdio>
#include <string>

#include "command_line.h"
#include "command_options.h"
#include "exit_codes.h"
#include "help_text.h"
#include "interval_aggregation.h"
#include "layout_detection.h"
#include "period_statistics.h"
#include "platform_io.h"
#include "run_warnings.h"
#include "version.h"

namespace tabsum {
namespace {


void open_input(TabsumRun& run) {
  const AggregationSettings& s = run.settings;
  if (!run.input.open(s.in_name)) throw failure(Failure::ERROR_OPENING, s.in_name);
  // Opening the output empties it: never when it is the input itself.
  if (textio::same_existing_file(s.in_name, s.out_name)) {
    throw failure(Failure::SAME_FILE, s.out_name);
  }
}

void open_output(TabsumRun& run) {
  if (!run.output.open_file(run.settings.out_name)) throw failure(Failure::ERROR_OPENING, run.settings.out_name);
}

// Warnings come after the run's console lines and before "ready..".
void write_warnings(TabsumRun& run, const std::string& text) {
  if (text.empty()) return;
  run.console.flush();
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}

void allocate_sums(TabsumRun& run) {
  const int columns = run.settings.data_columns;
  if (columns == 0) return;
  void* block = run.allocate_zeroed(static_cast<std::size_t>(columns), sizeof(ColumnSums));
  if (!block) throw failure(Failure::NO_MEMORY_FOR_COLUMNS, std::to_string(columns));
  run.sums.reset(static_cast<ColumnSums*>(block));
}

}  // namespace

void fail_reading(const TabsumRun& run) { throw failure(Failure::ERROR_READING, run.settings.in_name); }

int run_tabsum(TabsumRun& run, int argc, const char* const* argv) {
  switch (info_request(argc, argv)) {
    case InfoRequest::help:
      run.console.put(help_text());
      return EXIT_COMPLETE;
    case InfoRequest::version:
      run.console.put("tabsum ");
      run.console.put(textio::VERSION);
      run.console.put('\n');
      return EXIT_COMPLETE;
    case InfoRequest::none:
      break;
  }
  run.console.put(BANNER);
  PeriodSettings& periods = run.settings.periods;
  // The arguments behind the options are read as if they were all there is.
  const int first = parse_options(argc, argv, periods);
  const int rest = argc - first + 1;
  const char* const* rest_argv = argv + first - 1;
  if (periods.period != Period::NONE) {
    if (!parse_period_command_line(rest, rest_argv, run.settings)) throw failure(Failure::PERIOD_USAGE);
  } else if (!parse_command_line(rest, rest_argv, run.settings)) {
    throw failure(Failure::USAGE);
  }
  if (run.settings.data_columns < 0 || run.settings.additional_columns < 0) {
    throw failure(Failure::NEGATIVE_COLUMNS);
  }
  open_input(run);
  // The layout is found before the output is opened, so that a table that
  // cannot be summed leaves an existing output file as it is. A bad number
  // of intervals is named first, and empties the output as it always has.
  const bool intervals_valid = periods.period != Period::NONE || run.settings.intervals > 1;
  LayoutScan layout;
  if (intervals_valid) {
    scan_layout(run, layout);
    if (!run.input.read_failed() && layout.data_line_found && !run.settings.data_columns_given &&
        layout.data_columns == 0) {
      throw failure(Failure::NO_VALUE_COLUMN, run.settings.in_name);
    }
  }
  open_output(run);
  if (!intervals_valid) throw failure(Failure::INTERVALS_BELOW_TWO);

  report_layout(run, layout);
  allocate_sums(run);
  if (uses_statistics(periods)) prepare_statistics(run);
  copy_header(run);
  aggregate_rows(run);
  finish_totals(run);
  const std::string warnings = run_warnings(run);

  run.sums.reset();
  run.input.close();
  if (!run.output.close_file()) throw failure(Failure::ERROR_WRITING, run.settings.out_name);
  write_warnings(run, warnings);
  run.console.put("ready..\n");
  return EXIT_COMPLETE;
}

}  // namespace tabsum
