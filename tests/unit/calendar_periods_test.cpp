// tabsum by the calendar against a reference written plainly: each row of a
// generated table is read on its own, its period found from its date, and
// its values gathered in a map from period to sums; the periods from the
// first to the last are then written with the statistic asked for. The
// tables have gaps, repeated rows, missing values and periods without any
// valid value; every period, both stamp conventions, several day starts and
// water-year starts and every statistic (each with one of several shares of
// valid values drawn) are run, both ways of reading the values, and must
// give the same table bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <limits>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "calendar.h"
#include "calendar_periods.h"
#include "fatal_error.h"
#include "interval_aggregation.h"
#include "layout_detection.h"
#include "period_statistics.h"
#include "tabsum_run.h"

namespace {

constexpr int COLUMNS = 3;

struct Options {
  std::string period;  // day, month, year, water-year
  bool start_stamps = false;
  int day_start = 0;
  int water_year_start = 10;
  std::string stat = "sum";
  double min_valid = 0.0;  // 0: not given
  int step_option = 0;     // 0: not given
};

// --- the reference -------------------------------------------------------------

struct Gathered {
  double sum = 0.0;
  double valid = 0.0;
  double minimum = std::numeric_limits<double>::infinity();
  double maximum = -std::numeric_limits<double>::infinity();
};

// A period's key: ordered, and one more for the next period.
long long period_key(const Options& o, long long day) {
  const textio::CivilDate d = textio::civil_from_days(day);
  if (o.period == "day") return day;
  if (o.period == "month") return d.year * 12 + (d.month - 1);
  if (o.period == "year") return d.year;
  // A water year is named by the year in which it ends.
  return d.month >= o.water_year_start && o.water_year_start != 1 ? d.year + 1 : d.year;
}

// The first and the one-past-last day of a period.
void period_days(const Options& o, long long key, long long& first, long long& end) {
  if (o.period == "day") {
    first = key;
    end = key + 1;
  } else if (o.period == "month") {
    const long long y = key >= 0 ? key / 12 : -((-key + 11) / 12);
    const int m = static_cast<int>(key - y * 12) + 1;
    first = textio::days_from_civil(y, m, 1);
    end = m == 12 ? textio::days_from_civil(y + 1, 1, 1) : textio::days_from_civil(y, m + 1, 1);
  } else if (o.period == "year") {
    first = textio::days_from_civil(key, 1, 1);
    end = textio::days_from_civil(key + 1, 1, 1);
  } else {
    first = textio::days_from_civil(key - 1, o.water_year_start, 1);
    end = textio::days_from_civil(key, o.water_year_start, 1);
    if (o.water_year_start == 1) {
      first = textio::days_from_civil(key, 1, 1);
      end = textio::days_from_civil(key + 1, 1, 1);
    }
  }
}

std::string number(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

double statistic(const std::string& stat, const Gathered& g) {
  if (stat == "count") return g.valid;
  if (g.valid == 0.0) return -999.0;
  if (stat == "mean") return g.sum / g.valid;
  if (stat == "min") return g.minimum;
  if (stat == "max") return g.maximum;
  return g.sum;
}

std::string reference_output(const std::string& table, const std::string& in_name, const Options& o) {
  std::istringstream lines(table);
  std::string line;
  std::getline(lines, line);
  const std::string header = line;
  std::map<long long, std::vector<Gathered>> periods;
  std::vector<long long> stamps;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    long long year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    fields >> year >> month >> day >> hour;
    if (year < 1000) year += 1900;
    const long long stamp = textio::days_from_civil(year, month, day) * 24 + hour;
    stamps.push_back(stamp);
    // The hour the row holds next to its stamp, and the day it belongs to
    // when days begin at the day start.
    const long long hour_start = o.start_stamps ? stamp : stamp - 1;
    const long long shifted = hour_start - o.day_start;
    const long long day_number = shifted >= 0 ? shifted / 24 : -((-shifted + 23) / 24);
    std::vector<Gathered>& g = periods[period_key(o, day_number)];
    g.resize(COLUMNS);
    for (int c = 0; c < COLUMNS; ++c) {
      std::string word;
      fields >> word;
      const double v = std::strtod(word.c_str(), nullptr);
      if (!(v > -998.0)) continue;
      g[c].sum += v;
      g[c].valid += 1.0;
      if (v < g[c].minimum) g[c].minimum = v;
      if (v > g[c].maximum) g[c].maximum = v;
    }
  }
  const std::string titles[] = {"sum", "Sums", "mean", "Means", "min", "Minima", "max", "Maxima", "count", "Counts"};
  std::string title;
  for (int i = 0; i < 10; i += 2) {
    if (o.stat == titles[i]) title = titles[i + 1];
  }
  std::string out = title + " from " + in_name + " (" + o.period + "): " + header + "\n";
  const long long step = o.step_option > 0 ? o.step_option : stamps[1] - stamps[0];
  std::vector<Gathered> totals(COLUMNS);
  for (long long key = periods.begin()->first; key <= periods.rbegin()->first; ++key) {
    long long first = 0;
    long long end = 0;
    period_days(o, key, first, end);
    std::vector<Gathered> g(COLUMNS);
    if (periods.count(key)) g = periods[key];
    // The last hour of the period: up to the day start of its end day.
    textio::CivilDate last = textio::civil_from_days(o.day_start == 0 ? end - 1 : end);
    int hour = o.day_start == 0 ? 24 : o.day_start;
    if (o.start_stamps) --hour;
    out += std::to_string(last.year) + "\t" + std::to_string(last.month) + "\t" + std::to_string(last.day) + "\t" +
           std::to_string(hour);
    const double expected = static_cast<double>((end - first) * 24) / static_cast<double>(step);
    for (int c = 0; c < COLUMNS; ++c) {
      const bool complete = o.min_valid == 0.0 || g[c].valid + 1e-9 * expected >= o.min_valid * expected;
      out += '\t';
      out += number(complete ? statistic(o.stat, g[c]) : -999.0);
      totals[c].sum += g[c].sum;
      totals[c].valid += g[c].valid;
      totals[c].minimum = std::min(totals[c].minimum, g[c].minimum);
      totals[c].maximum = std::max(totals[c].maximum, g[c].maximum);
    }
    out += "\n";
  }
  out += "0\t0\t0\t0";
  for (int c = 0; c < COLUMNS; ++c) {
    // A sum of nothing is 0 in the totals row, as it always was.
    out += '\t';
    out += number(o.stat == "sum" ? totals[c].sum : statistic(o.stat, totals[c]));
  }
  return out + "\n";
}

// --- generated tables ------------------------------------------------------------

struct Table {
  std::string text;
  int step;
};

// Rows `step` hours apart from a start in `year`, with gaps short and long,
// repeated rows, missing values and columns that stay missing for a while.
// Midnight is written now as hour 24, now as hour 0 of the next day.
Table generated_table(std::mt19937& rng, long long year, int step, bool start_stamps, int rows) {
  Table t{"YY\tMM\tDD\tHH\ta\tb\tc\n", step};
  const bool short_years = year < 2000 && rng() % 2 == 0;
  long long hours = textio::days_from_civil(year, 1 + static_cast<int>(rng() % 12), 1) * 24 +
                    static_cast<long long>(rng() % 24);
  bool dead[COLUMNS] = {};
  for (int r = 0; r < rows; ++r) {
    if (r >= 2) {
      const unsigned what = rng() % 100;
      if (what < 4) {
        hours += step * static_cast<long long>(1 + rng() % 30);  // a gap
      } else if (what < 5) {
        hours += step * static_cast<long long>(24 * (20 + rng() % 60));  // a long gap: periods without rows
      } else if (what >= 8) {
        hours += step;  // else the row is repeated
      }
    } else if (r == 1) {
      hours += step;
    }
    long long day = textio::floor_div(hours, 24);
    int hour = static_cast<int>(hours - day * 24);
    if (!start_stamps && hour == 0 && rng() % 2 == 0) {
      --day;
      hour = 24;
    }
    const textio::CivilDate d = textio::civil_from_days(day);
    t.text += std::to_string(short_years && d.year < 2000 ? d.year - 1900 : d.year) + "\t" + std::to_string(d.month) +
              "\t" + std::to_string(d.day) + "\t" + std::to_string(hour);
    static const char* const VALUES[] = {"0.0", "0.0", "0.0", "1.5", "2.5",  "12.25", "-999", "-9999",
                                         "3",   "0.1", "7.7", "0.0", "-0.5", "1e2",   "0.0",  "-998"};
    for (int c = 0; c < COLUMNS; ++c) {
      if (rng() % 200 == 0) dead[c] = !dead[c];
      const std::string v = dead[c] ? "-999" : VALUES[rng() % (sizeof VALUES / sizeof VALUES[0])];
      t.text += "\t" + v;
    }
    t.text += "\n";
  }
  return t;
}

// --- tabsum ---------------------------------------------------------------------

struct Outcome {
  int code = -1;
  std::string output;
  std::string message;
};

// One pair of files per test: ctest runs the tests as parallel processes.
std::string test_file(const char* what) {
  return ::testing::TempDir() + "calendar_periods_" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + what + ".txt";
}

Outcome run_tabsum(const std::string& table, const Options& o, tabsum::RowReading reading) {
  const std::string in_name = test_file("in");
  const std::string out_name = test_file("out");
  std::ofstream(in_name, std::ios::binary) << table;
  std::vector<std::string> args = {"tabsum", "--by", o.period, "--stat", o.stat};
  if (o.start_stamps) args.insert(args.end(), {"--stamps", "start"});
  if (o.day_start != 0) args.insert(args.end(), {"--day-start", std::to_string(o.day_start)});
  if (o.water_year_start != 10) args.insert(args.end(), {"--water-year-start", std::to_string(o.water_year_start)});
  if (o.min_valid > 0.0) args.insert(args.end(), {"--min-valid", number(o.min_valid)});
  if (o.step_option > 0) args.insert(args.end(), {"--step", std::to_string(o.step_option)});
  args.insert(args.end(), {in_name, out_name});
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());

  Outcome result;
  textio::OutputBuffer console(nullptr, 1 << 16);
  tabsum::TabsumRun run(console);
  run.row_reading = reading;
  try {
    result.code = tabsum::run_tabsum(run, static_cast<int>(argv.size()), argv.data());
  } catch (const textio::FatalError& f) {
    result.code = f.code;
    result.message = f.message;
  }
  run.output.close_file();
  // Text mode: the table has the platform's line ends, the reference "\n".
  std::ifstream in(out_name);
  std::stringstream s;
  s << in.rdbuf();
  result.output = s.str();
  return result;
}

void expect_reference(const std::string& table, const Options& o) {
  SCOPED_TRACE("--by " + o.period + (o.start_stamps ? " --stamps start" : "") + " --day-start " +
               std::to_string(o.day_start) + " --water-year-start " + std::to_string(o.water_year_start) +
               " --stat " + o.stat + " --min-valid " + number(o.min_valid) + " --step " +
               std::to_string(o.step_option));
  const std::string in_name = test_file("in");
  const std::string expected = reference_output(table, in_name, o);
  for (const tabsum::RowReading reading : {tabsum::RowReading::BUFFERED, tabsum::RowReading::PLAIN}) {
    const Outcome got = run_tabsum(table, o, reading);
    ASSERT_EQ(got.code, 0) << got.message;
    ASSERT_EQ(got.output, expected);
  }
}

TEST(CalendarPeriods, AgreeWithThePlainReference) {
  std::mt19937 rng(20);
  struct Shape {
    long long year;
    int step;
    int rows;
  };
  // Leap years of every kind (2016, 2000, not 1900), short years (98 is
  // 1998) and steps that divide a day or are one.
  const Shape shapes[] = {{2016, 1, 2000}, {1999, 1, 1500}, {1900, 3, 1200}, {2000, 24, 900}, {1998, 12, 800}};
  const char* const periods[] = {"day", "month", "year", "water-year"};
  const char* const stats[] = {"sum", "mean", "min", "max", "count"};
  const double shares[] = {0.0, 0.5, 0.9, 1.0};
  for (const Shape& shape : shapes) {
    for (const bool start : {false, true}) {
      const Table table = generated_table(rng, shape.year, shape.step, start, shape.rows);
      for (const char* period : periods) {
        for (const int day_start : {0, 7, 23}) {
          for (const int water_year_start : {10, 11, 1}) {
            if (water_year_start != 10 && std::string(period) != "water-year") continue;
            // Every statistic, each with a share drawn from the list.
            for (const char* stat : stats) {
              Options o{period, start, day_start, water_year_start, stat, shares[rng() % 4], 0};
              // Now and then the step given rather than found.
              if (rng() % 4 == 0) o.step_option = shape.step;
              expect_reference(table.text, o);
              if (HasFatalFailure()) return;
            }
          }
        }
      }
    }
  }
}

// --- by hand --------------------------------------------------------------------

TEST(CalendarPeriods, BoundsOfMonthsAndWaterYears) {
  tabsum::PeriodSettings s;
  s.period = tabsum::Period::MONTH;
  long long jan31 = 0;
  ASSERT_TRUE(textio::stamp_hours(2016, 2, 29, 0, jan31));
  // The hour 23 to 24 of 29 February 2016 lies in February, which ends at
  // hour 24 of that day.
  const tabsum::PeriodBounds feb = tabsum::period_bounds(s, jan31 + 23);
  EXPECT_EQ(feb.end_hour - feb.first_hour, 29 * 24);
  const textio::Stamp end = tabsum::period_stamp(s, feb.end_hour);
  EXPECT_EQ(end.year, 2016);
  EXPECT_EQ(end.month, 2);
  EXPECT_EQ(end.day, 29);
  EXPECT_EQ(end.hour, 24);
  s.stamps_at_start = true;
  EXPECT_EQ(tabsum::period_stamp(s, feb.end_hour).hour, 23);

  // A water year from November (DIN 4049), with days read at 7 h: the
  // year ending in 2017 runs from 1 November 2016, 7 h, to 1 November
  // 2017, 7 h, and its row is stamped with its last hour.
  s = tabsum::PeriodSettings{};
  s.period = tabsum::Period::WATER_YEAR;
  s.water_year_start = 11;
  s.day_start = 7;
  long long oct31 = 0;
  ASSERT_TRUE(textio::stamp_hours(2017, 11, 1, 6, oct31));
  const tabsum::PeriodBounds w = tabsum::period_bounds(s, oct31);
  long long first = 0;
  ASSERT_TRUE(textio::stamp_hours(2016, 11, 1, 7, first));
  EXPECT_EQ(w.first_hour, first);
  EXPECT_EQ(w.end_hour - w.first_hour, 365 * 24);
  const textio::Stamp last = tabsum::period_stamp(s, w.end_hour);
  EXPECT_EQ(last.year, 2017);
  EXPECT_EQ(last.month, 11);
  EXPECT_EQ(last.day, 1);
  EXPECT_EQ(last.hour, 7);
}

// The message names the rows by their lines, blank lines and CR LF
// included; an input that cannot return to its start names them by their
// number among the data rows.
TEST(CalendarPeriods, RowsOutOfOrderAreNamedByTheirLines) {
  const std::string text = "YY MM DD HH a\n2017 4 1 1 1.0\n\n2017 4 1 3 1.0\r\n2017 4 1 2 1.0\n";
  const struct {
    std::size_t chunk;  // 0: an input that can return to its start
    std::string message;
  } cases[] = {
      {0, "rows out of order: line 5 (2017 4 1 2) is stamped before line 4 (2017 4 1 3)\n"},
      {7, "rows out of order: data row 3 (2017 4 1 2) is stamped before data row 2 (2017 4 1 3)\n"},
  };
  for (const auto& c : cases) {
    textio::OutputBuffer console;
    tabsum::TabsumRun run(console);
    run.settings.in_name = "in.txt";
    run.settings.periods.period = tabsum::Period::DAY;
    if (c.chunk == 0) {
      run.input.attach_text(text);
    } else {
      run.input.attach_unseekable_text(text, c.chunk);
    }
    std::string message;
    try {
      tabsum::LayoutScan layout;
      tabsum::scan_layout(run, layout);
      tabsum::report_layout(run, layout);
      run.sums.reset(static_cast<tabsum::ColumnSums*>(std::calloc(1, sizeof(tabsum::ColumnSums))));
      tabsum::prepare_statistics(run);
      tabsum::copy_header(run);
      tabsum::aggregate_rows(run);
    } catch (const textio::FatalError& f) {
      message = f.message;
    }
    EXPECT_EQ(message, c.message) << "chunk " << c.chunk;
  }
}

}  // namespace
