#include "period_statistics.h"

#include <algorithm>
#include <limits>

#include "left_out_zeros.h"

namespace tabsum {
namespace {

constexpr double INFINITE = std::numeric_limits<double>::infinity();

// A share of the expected count that is met exactly (0.9 of 720 values)
// must not fail on the last bit of the product.
constexpr double SHARE_TOLERANCE = 1e-9;

const char* statistic_title(Statistic s) {
  switch (s) {
    case Statistic::MEAN:
      return "Means";
    case Statistic::MIN:
      return "Minima";
    case Statistic::MAX:
      return "Maxima";
    case Statistic::COUNT:
      return "Counts";
    case Statistic::SUM:
      break;
  }
  return "Sums";
}

const char* period_name(Period p) {
  switch (p) {
    case Period::DAY:
      return "day";
    case Period::MONTH:
      return "month";
    case Period::YEAR:
      return "year";
    case Period::WATER_YEAR:
      return "water-year";
    case Period::NONE:
      break;
  }
  return "";
}

void put_stamp(textio::OutputBuffer& out, const textio::Stamp& s) {
  out.put_int(s.year);
  out.put('\t');
  out.put_int(s.month);
  out.put('\t');
  out.put_int(s.day);
  out.put('\t');
  out.put_int(s.hour);
}

void reset_group(ColumnSums& c) {
  c.interval_sum = 0.0;
  c.missing = 0.0;
  c.minimum = INFINITE;
  c.maximum = -INFINITE;
}

}  // namespace

double group_value(Statistic statistic, double min_valid, double expected, double valid, double sum,
                   double minimum, double maximum) {
  if (min_valid > 0.0 && valid + SHARE_TOLERANCE * expected < min_valid * expected) return MISSING_VALUE;
  if (statistic == Statistic::COUNT) return valid;
  if (valid <= 0.0) return MISSING_VALUE;
  switch (statistic) {
    case Statistic::MEAN:
      return sum / valid;
    case Statistic::MIN:
      return minimum;
    case Statistic::MAX:
      return maximum;
    default:
      return sum;
  }
}

double totals_value(Statistic statistic, double valid, double sum, double minimum, double maximum) {
  if (statistic == Statistic::SUM) return sum;
  return group_value(statistic, 0.0, 0.0, valid, sum, minimum, maximum);
}

void prepare_statistics(TabsumRun& run) {
  const auto columns = static_cast<std::size_t>(run.settings.data_columns);
  for (std::size_t j = 0; j < columns; ++j) reset_group(run.sums[j]);
  PeriodState& s = run.period_state;
  s.total_valid.assign(columns, 0.0);
  s.total_minimum.assign(columns, INFINITE);
  s.total_maximum.assign(columns, -INFINITE);
  s.left_out_zeros.assign(left_out_zero_words(columns), 0);
}

void put_header_title(TabsumRun& run) {
  const PeriodSettings& p = run.settings.periods;
  run.output.put(statistic_title(p.statistic));
  run.output.put(" from ");
  run.output.put(run.settings.in_name);
  run.output.put(" (");
  if (p.period == Period::NONE) {
    run.output.put_int(run.settings.intervals);
    run.output.put(" intervals");
  } else {
    run.output.put(period_name(p.period));
  }
  run.output.put("): ");
}

void fold_group_into_totals(TabsumRun& run) {
  PeriodState& s = run.period_state;
  const double rows = static_cast<double>(run.rows_in_interval);
  for (int j = 0; j < run.settings.data_columns; ++j) {
    ColumnSums& c = run.sums[j];
    enter_left_out_zero(c, s.left_out_zeros.data(), static_cast<std::size_t>(j));
    c.total_sum += c.interval_sum;
    s.total_valid[j] += rows - c.missing;
    if (c.minimum < s.total_minimum[j]) s.total_minimum[j] = c.minimum;
    if (c.maximum > s.total_maximum[j]) s.total_maximum[j] = c.maximum;
  }
  std::fill(s.left_out_zeros.begin(), s.left_out_zeros.end(), 0);
}

void close_statistics_group(TabsumRun& run, const textio::Stamp& stamp, double expected) {
  const PeriodSettings& p = run.settings.periods;
  const double rows = static_cast<double>(run.rows_in_interval);
  fold_group_into_totals(run);
  put_stamp(run.output, stamp);
  for (int j = 0; j < run.settings.data_columns; ++j) {
    ColumnSums& c = run.sums[j];
    run.output.put('\t');
    run.output.put_general(
        group_value(p.statistic, p.min_valid, expected, rows - c.missing, c.interval_sum, c.minimum, c.maximum), 6);
    reset_group(c);
  }
  run.output.put('\n');
  run.rows_in_interval = 0;
}

void write_statistics_totals(TabsumRun& run) {
  const PeriodState& s = run.period_state;
  put_stamp(run.output, textio::Stamp{});
  for (int j = 0; j < run.settings.data_columns; ++j) {
    run.output.put('\t');
    run.output.put_general(totals_value(run.settings.periods.statistic, s.total_valid[j], run.sums[j].total_sum,
                                        s.total_minimum[j], s.total_maximum[j]),
                           6);
  }
  run.output.put('\n');
}

}  // namespace tabsum
