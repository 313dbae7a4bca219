// The run of one tabsum invocation: its settings, sums and open files.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "output_buffer.h"
#include "stamp_check.h"
#include "period_settings.h"
#include "text_reader.h"

namespace tabsum {

constexpr int DATE_FIELDS = 4;
constexpr double NODATA_LIMIT = -998.0;  // a value counts only when strictly greater
constexpr double NO_MEAN = -99999.0;     // the mean shown when nothing counted

struct AggregationSettings {
  std::string in_name;
  std::string out_name;
  int intervals = 0;
  int headrows = -1;  // negative: detect
  bool data_columns_given = false;
  int data_columns = 0;
  int additional_columns = 0;
  PeriodSettings periods;
};

struct ColumnSums {
  double interval_sum;
  double remainder_sum;
  double total_sum;
  // The group's values of the column that do not count (missing, not a
  // number, or not read): the valid ones are the group's rows less these.
  // Kept apart from the sums' fields, so that a value adds to one field.
  double missing;
  // The group's smallest and largest valid value: the plain reading keeps
  // both, the buffered one the one asked for (see left_out_zeros.h).
  double minimum;
  double maximum;
};

struct RunTotals {
  double row_sum = 0.0;
  double row_count = 0.0;
  double run_sum = 0.0;
  double run_count = 0.0;
};

// How the values of a row are read; both ways give the same results, which
// tests compare.
enum class RowReading { BUFFERED, PLAIN };

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};

struct TabsumRun {
  explicit TabsumRun(textio::OutputBuffer& console_out) : console(console_out) {}

  AggregationSettings settings;
  textio::OutputBuffer& console;
  textio::TextReader input;
  textio::OutputBuffer output{nullptr, 1 << 16};

  std::string line_buffer;  // a piece of a header row, as it is copied

  StampCheck stamps;

  std::unique_ptr<ColumnSums[], FreeDeleter> sums;
  RunTotals totals;
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int rows_in_interval = 0;
  bool end_of_data = false;
  PeriodState period_state;
  RowReading row_reading = RowReading::BUFFERED;

  // Obtains the zero-filled column sums; tests replace it to make it fail.
  void* (*allocate_zeroed)(std::size_t count, std::size_t size) = std::calloc;
};

}  // namespace tabsum
