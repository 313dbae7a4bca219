#include "tabsum_run.h"

#include <string>

#include "command_line.h"
#include "fatal_error.h"
#include "interval_aggregation.h"
#include "layout_detection.h"
#include "platform_io.h"

namespace tabsum {
namespace {

[[noreturn]] void fail(int code, std::string message) { throw textio::FatalError{code, std::move(message)}; }

void open_files(TabsumRun& run) {
  const AggregationSettings& s = run.settings;
  if (!run.input.open(s.in_name)) fail(2, "error opening " + s.in_name + "\n");
  // Opening the output empties it: never when it is the input itself.
  if (textio::same_existing_file(s.in_name, s.out_name)) {
    fail(2, "input and output are the same file: " + s.out_name + "\n");
  }
  if (!run.output.open_file(s.out_name)) fail(2, "error opening " + s.out_name + "\n");
}

void allocate_sums(TabsumRun& run) {
  const int columns = run.settings.data_columns;
  if (columns == 0) return;
  void* block = run.allocate_zeroed(static_cast<std::size_t>(columns), sizeof(ColumnSums));
  if (!block) fail(1, "not enough memory for " + std::to_string(columns) + " columns\n");
  run.sums.reset(static_cast<ColumnSums*>(block));
}

}  // namespace

int run_tabsum(TabsumRun& run, int argc, const char* const* argv) {
  run.console.put(BANNER);
  if (!parse_command_line(argc, argv, run.settings)) {
    run.console.put(USAGE);
    return 1;
  }
  if (run.settings.data_columns < 0 || run.settings.additional_columns < 0) {
    fail(1, "number of columns must not be negative\n");
  }
  open_files(run);
  if (run.settings.intervals <= 1) fail(1, "number of intervals has to be greater than 1!\n");

  detect_layout(run);
  allocate_sums(run);
  copy_header(run);
  aggregate_rows(run);
  finish_totals(run);

  run.sums.reset();
  run.input.close();
  if (!run.output.close_file()) fail(2, "error writing " + run.settings.out_name + "\n");
  run.console.put("ready..\n");
  return 0;
}

}  // namespace tabsum
