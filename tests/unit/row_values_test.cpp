// The row loop's fast way of reading values (straight from the reader's
// buffer) against its plain twin (one "%lf" of the reader per field): on
// generated tables the whole aggregation must print the same console
// lines, write the same rows, hold the same sums bit for bit and leave the
// reader at the same place.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "fatal_error.h"
#include "field_separators.h"
#include "interval_aggregation.h"
#include "one_decimal_fields.h"
#include "period_statistics.h"
#include "tabsum_run.h"

namespace {

using tabsum::RowReading;
using tabsum::Statistic;

struct Layout {
  int data_columns;
  int additional_columns;
};

struct Outcome {
  std::string console;
  std::string output;
  std::string failure;
  std::vector<std::uint64_t> sums;  // interval, remainder and total sum and missing values of each column
  std::vector<std::uint64_t> extremes;  // with --stat min or max: each column's extreme of the run and of its last group
  std::uint64_t run_sum = 0;
  std::uint64_t run_count = 0;
  std::uint64_t position = 0;
  bool eof = false;
  std::string rest;  // what the reader gives after the run

  bool operator==(const Outcome&) const = default;
};

// How the input is given: whole, or as from a pipe in reads of `chunk`
// bytes (then fields straddle the end of what is buffered), and the byte
// count after which every read fails (SIZE_MAX: none).
struct Source {
  std::size_t chunk;
  std::size_t fail_after = SIZE_MAX;
};

// The statistic of the groups: SUM for the plain sums of groups of rows
// (no statistic asked for), MIN or MAX for --stat min or max.
Outcome aggregate(const std::string& text, Layout layout, Source source, RowReading reading,
                  Statistic statistic = Statistic::SUM) {
  textio::OutputBuffer console;
  tabsum::TabsumRun run(console);
  run.settings.in_name = "table.txt";
  run.settings.intervals = 3;
  run.settings.periods.statistic = statistic;
  run.settings.periods.statistic_given = statistic != Statistic::SUM;
  run.settings.data_columns = layout.data_columns;
  run.settings.additional_columns = layout.additional_columns;
  run.row_reading = reading;
  if (source.chunk == 0) {
    run.input.attach_text(text);
  } else {
    run.input.attach_unseekable_text(text, source.chunk, source.fail_after);
  }
  if (layout.data_columns > 0) {
    run.sums.reset(static_cast<tabsum::ColumnSums*>(
        std::calloc(static_cast<std::size_t>(layout.data_columns), sizeof(tabsum::ColumnSums))));
  }
  if (statistic != Statistic::SUM) tabsum::prepare_statistics(run);
  Outcome o;
  try {
    tabsum::aggregate_rows(run);
    tabsum::finish_totals(run);
  } catch (const textio::FatalError& e) {
    o.failure = e.message;
  }
  o.console = console.take_captured();
  o.output = run.output.take_captured();
  for (int j = 0; j < layout.data_columns; ++j) {
    const tabsum::ColumnSums& c = run.sums[j];
    for (const double v : {c.interval_sum, c.remainder_sum, c.total_sum, c.missing}) {
      o.sums.push_back(std::bit_cast<std::uint64_t>(v));
    }
    // The buffered reading keeps the extreme asked for only.
    if (statistic == Statistic::MIN) {
      o.extremes.push_back(std::bit_cast<std::uint64_t>(run.period_state.total_minimum[j]));
      o.extremes.push_back(std::bit_cast<std::uint64_t>(c.minimum));
    } else if (statistic == Statistic::MAX) {
      o.extremes.push_back(std::bit_cast<std::uint64_t>(run.period_state.total_maximum[j]));
      o.extremes.push_back(std::bit_cast<std::uint64_t>(c.maximum));
    }
  }
  o.run_sum = std::bit_cast<std::uint64_t>(run.totals.run_sum);
  o.run_count = std::bit_cast<std::uint64_t>(run.totals.run_count);
  o.position = run.input.position();
  o.eof = run.input.eof();
  for (int c; (c = run.input.get_char()) != -1;) o.rest += static_cast<char>(c);
  return o;
}

// Values of every form the loop meets: the commonest ones far more often,
// as in a real table, and the rare ones that every fast path must decline.
// A dry row is mostly zeros.
std::string value_token(std::mt19937& rng, bool dry) {
  if (dry && rng() % 12 != 0) return "0.0";
  static const char* const kRare[] = {
      "-999", "-9999", "12.34", "0.25", "-0.0", "+1.5", "5.", ".5", "-.5", "7", "1234567", "12345678",
      "123456.7", "1234567.8", "0.000001", "1e3", "1.5E-2", "0x1p3", "inf", "-nan", "abc", "-", ".", "1.2.3",
      "--1", "1,5", "123456789012345", "1234567890123456", "9007199254740993", "0.30000000000000004", "-998",
      "-997.9", "-998.0000001", "-998", "-998.0", "-998.001", "-997.999", "-999.000", "1.2e-05", "7.74941",
      "25458.3", "0.000926293", "287.053", "4394", "1e+06", "1234567890123456789", "12345678901234567890", "1e22",
      "1e23", "1e-22", "1e-23", "1e", "1e+", "5E-3",
  };
  switch (rng() % 10) {
    case 0: return kRare[rng() % (sizeof kRare / sizeof kRare[0])];
    case 1: return std::to_string(rng() % 100) + "." + std::to_string(rng() % 10);
    default: return std::to_string(rng() % 10) + "." + std::to_string(rng() % 10);
  }
}

std::string separator(std::mt19937& rng) {
  static const char* const kSeparators[] = {"\t", "\t", "\t", "\t", "\t", "\t", " ", "  ", "\t\t", " \t", "\v", "\r"};
  return kSeparators[rng() % (sizeof kSeparators / sizeof kSeparators[0])];
}

// Rows of dates and values; some rows have fields missing or too many, a
// blank before the line end, CR LF or a lone CR; now and then a NUL, a word
// in the date fields, or a 0x1A, which ends the input.
std::string generated_table(std::mt19937& rng, int fields, int rows, bool rare_bytes) {
  std::string s;
  for (int r = 0; r < rows; ++r) {
    s += "1990\t" + std::to_string(1 + r % 12) + '\t' + std::to_string(1 + r % 28) + '\t' + std::to_string(r % 24);
    int n = fields;
    if (rng() % 8 == 0) n += static_cast<int>(rng() % 3) - 1;
    const bool dry = rng() % 2 == 0;
    for (int f = 0; f < n; ++f) s += separator(rng) + value_token(rng, dry);
    if (rng() % 6 == 0) s += separator(rng);
    if (rare_bytes && rng() % 40 == 0) s += rng() % 2 ? std::string(1, '\0') + "1.5" : std::string("\x1a");
    if (rare_bytes && rng() % 60 == 0) s += "\nx y";
    s += rng() % 3 == 0 ? "\r\n" : "\n";
  }
  if (rng() % 2) s.pop_back();  // no line end after the last row
  return s;
}

// The sums of groups of rows, and the groups' smallest and largest values,
// by both ways.
void expect_same(const std::string& text, Layout layout, Source source) {
  for (const Statistic statistic : {Statistic::SUM, Statistic::MIN, Statistic::MAX}) {
    SCOPED_TRACE("statistic " + std::to_string(static_cast<int>(statistic)));
    const Outcome fast = aggregate(text, layout, source, RowReading::BUFFERED, statistic);
    const Outcome plain = aggregate(text, layout, source, RowReading::PLAIN, statistic);
    EXPECT_EQ(fast.console, plain.console);
    EXPECT_EQ(fast.output, plain.output);
    EXPECT_EQ(fast.failure, plain.failure);
    EXPECT_TRUE(fast == plain) << "sums, position " << fast.position << " vs " << plain.position << ", eof "
                               << fast.eof << " vs " << plain.eof;
  }
}

// The forms of the tables the row step reads at speed, as other programs
// write them, each value in its own column's form in a mixed table.
enum class Shape { ONE_DECIMAL, THREE_DECIMALS, SIX_DIGITS, INTEGERS, RIGHT_ALIGNED, MIXED };

std::string shaped_value(std::mt19937& rng, Shape shape, int column) {
  if (shape == Shape::MIXED) shape = static_cast<Shape>(column % 5);
  char text[64];
  const double unit = static_cast<double>(rng() % 1000000) / 1000000.0;
  const unsigned pick = static_cast<unsigned>(rng() % 50);
  // Values at and around the limit of missing values, -0.0, fields far
  // longer than a word and the edges of the exact fast way, now and then.
  static const char* const kEdges[] = {"-999", "-998", "-998.000", "-997.999", "-998.001", "-9999.00", "-0.0", "-0",
                                       "1234567890123456789", "12345678901234567890", "0.12345678901234567890",
                                       "1e22", "1e23", "1e-22", "1e-23", "4.5e-300",
                                       "123456789012345678901234567890.123456789012345678901234567890"};
  if (pick == 0) return kEdges[rng() % (sizeof kEdges / sizeof kEdges[0])];
  int n = 0;
  switch (shape) {
    case Shape::ONE_DECIMAL: n = std::snprintf(text, sizeof text, "%.1f", 20.0 * unit); break;
    case Shape::THREE_DECIMALS: n = std::snprintf(text, sizeof text, "%.3f", 500.0 * unit); break;
    case Shape::SIX_DIGITS:
      n = std::snprintf(text, sizeof text, "%.6g", std::pow(10.0, 12.0 * unit - 6.0) * (rng() % 10 ? 1.0 : -1.0));
      break;
    case Shape::INTEGERS: n = std::snprintf(text, sizeof text, "%d", static_cast<int>(rng() % 5001)); break;
    case Shape::RIGHT_ALIGNED: n = std::snprintf(text, sizeof text, "%8.2f", 200.0 * unit * unit); break;
    case Shape::MIXED: break;
  }
  return std::string(text, static_cast<std::size_t>(n));
}

// Rows of one shape (or of all in the mixed one), a right-aligned table
// with its date stamp right-aligned too and its fields separated by blanks
// only. Some rows have a field missing or one too many, blanks or a tab
// before the line end, or a field that is no number.
std::string shaped_table(std::mt19937& rng, Shape shape, int fields, int rows) {
  std::string s;
  const bool aligned = shape == Shape::RIGHT_ALIGNED;
  for (int r = 0; r < rows; ++r) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, aligned ? "%4d%3d%3d%3d" : "%d\t%d\t%d\t%d", 1990, 1 + r % 12, 1 + r % 28, r % 24);
    s += stamp;
    int n = fields;
    if (rng() % 10 == 0) n += static_cast<int>(rng() % 3) - 1;
    for (int f = 0; f < n; ++f) {
      s += aligned ? " " : (shape == Shape::MIXED && rng() % 8 == 0 ? "\t  " : "\t");
      s += rng() % 200 == 0 ? "x1" : shaped_value(rng, shape, f);
    }
    if (rng() % 8 == 0) s += rng() % 2 ? "   " : "\t";
    s += rng() % 5 == 0 ? "\r\n" : "\n";
  }
  return s;
}

TEST(RowValues, BufferedReadingAgreesWithPlainOnEveryShape) {
  std::mt19937 rng(2121);
  const Shape shapes[] = {Shape::ONE_DECIMAL, Shape::THREE_DECIMALS, Shape::SIX_DIGITS,
                          Shape::INTEGERS,    Shape::RIGHT_ALIGNED,  Shape::MIXED};
  const Layout layouts[] = {{1, 0}, {5, 0}, {9, 1}, {40, 0}};
  const Source sources[] = {{0}, {1}, {13}, {509}};
  for (const Shape shape : shapes) {
    for (const Layout layout : layouts) {
      const int fields = layout.data_columns + layout.additional_columns;
      for (int table = 0; table < 4; ++table) {
        const std::string text = shaped_table(rng, shape, fields, 1 + static_cast<int>(rng() % 30));
        for (const Source source : sources) {
          SCOPED_TRACE("shape " + std::to_string(static_cast<int>(shape)) + ", columns " +
                       std::to_string(layout.data_columns) + ", table " + std::to_string(table) + ", chunk " +
                       std::to_string(source.chunk));
          expect_same(text, layout, source);
          if (HasFailure()) return;
        }
      }
    }
  }
}

// The separators in front of fields and the separator mask of a block:
// the SSE2 ways against their plain twins, on windows of blanks, tabs and
// the characters next to them.
TEST(RowValues, SeparatorsAgreeWithPlainTwins) {
  std::mt19937 rng(21);
  const char bytes[] = {' ', ' ', '\t', '\t', '1', '.', '\n', '\0', '\x80', '\x89', '\xa0', '\r', '\v', '!'};
  for (std::size_t n = 0; n < 50000; ++n) {
    std::string window(tabsum::BLOCK_CHARS, ' ');
    for (char& c : window) c = n % 3 == 0 && rng() % 4 != 0 ? ' ' : bytes[rng() % sizeof bytes];
    const std::uint64_t mask = tabsum::separator_mask_plain(window.data());
    const std::size_t leading = tabsum::leading_separators_plain(window.data());
    ASSERT_EQ(leading, static_cast<std::size_t>(std::min(std::countr_one(mask), 16)));
#if defined(__SSE2__)
    ASSERT_EQ(tabsum::separator_mask_sse2(window.data()), mask) << testing::PrintToString(window);
    ASSERT_EQ(tabsum::leading_separators_sse2(window.data()), leading) << testing::PrintToString(window);
#endif
  }
  const std::string row = " \t1.5\t  2\n" + std::string(tabsum::BLOCK_CHARS, ' ');
  EXPECT_EQ(tabsum::separator_mask_plain(row.data()), 0xFFFFFFFFFFFFFCE3u);  // blanks and tabs at 0, 1, 5 to 7 and 10 on
  // A run longer than one look, then the NUL and the bytes the reader keeps
  // readable behind it.
  const std::string blanks = std::string(40, ' ') + '\0' + std::string(tabsum::SEPARATOR_CHARS, ' ');
  EXPECT_EQ(tabsum::skip_separators(blanks.c_str()), blanks.c_str() + 40);
}

TEST(RowValues, BufferedReadingAgreesWithPlainOnGeneratedTables) {
  std::mt19937 rng(2026);
  const Layout layouts[] = {{1, 0}, {3, 0}, {7, 2}, {100, 0}, {5, 1}, {0, 2}};
  const Source sources[] = {{0}, {1}, {3}, {7}, {61}, {4093}};
  for (const Layout layout : layouts) {
    const int fields = layout.data_columns + layout.additional_columns;
    for (int table = 0; table < 12; ++table) {
      const std::string text = generated_table(rng, fields, 1 + static_cast<int>(rng() % 40), table % 3 != 0);
      for (const Source source : sources) {
        SCOPED_TRACE("columns " + std::to_string(layout.data_columns) + "+" +
                     std::to_string(layout.additional_columns) + ", table " + std::to_string(table) + ", chunk " +
                     std::to_string(source.chunk));
        expect_same(text, layout, source);
        if (HasFailure()) return;
      }
    }
  }
}

// A table larger than the reader's block, so that rows straddle the ends
// of its blocks, given whole, as from a pipe, and failing part way.
TEST(RowValues, BufferedReadingAgreesWithPlainAcrossBlocks) {
  std::mt19937 rng(99);
  std::string text;
  while (text.size() < 3 * textio::READ_BLOCK_SIZE) text += generated_table(rng, 24, 200, false) + "\n";
  text.pop_back();
  const Layout layout{24, 0};
  for (const Source source : {Source{0}, Source{65536}, Source{100000}, Source{65536, 2 * textio::READ_BLOCK_SIZE + 11}}) {
    SCOPED_TRACE("chunk " + std::to_string(source.chunk) + ", failing after " + std::to_string(source.fail_after));
    expect_same(text, layout, source);
  }
}

// Fields of the commonest form end to end, up to the last field of a row
// and the end of the input, where the buffer ends in the middle of one.
TEST(RowValues, BufferedReadingAgreesWithPlainOnOneDecimalRows) {
  const std::string row = "2001\t2\t3\t4\t0.0\t1.5\t9.9\t0.0\t2.5\t0.1\t0.0\t0.0\t3.3";
  const std::string dry = "2001\t2\t3\t5\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t0.5";
  const std::string cases[] = {
      dry + "\n" + row + "\n" + dry,  dry + "\t\n" + dry + "\r\n",
      row + "\n" + row + "\n",  row + "\t\n" + row,     row + "\r\n" + row + "\r\n", row + "\n" + row.substr(0, 30),
      row + "\n" + row + "\x1a" + row + "\n", row + "\n" + row.substr(0, row.size() - 2),
  };
  for (const std::string& text : cases) {
    for (const Layout layout : {Layout{9, 0}, Layout{8, 1}, Layout{4, 0}, Layout{12, 0}}) {
      for (const Source source : {Source{0}, Source{1}, Source{5}, Source{17}}) {
        SCOPED_TRACE("columns " + std::to_string(layout.data_columns) + ", chunk " + std::to_string(source.chunk));
        expect_same(text, layout, source);
      }
    }
  }
}

// The runs of dry fields enter the extremes when their group closes; a
// -0.0 ties with their 0.0, and of equal values the first stays: "0"
// where a dry field came first in the group, "-0" where the -0.0 did, in
// the first column, which has no other value. Also the plain reading's
// results, and the mark of a run that spans a word of 64 columns.
TEST(RowValues, BufferedExtremesKeepTheFirstOfZeroAndMinusZero) {
  const auto row = [](int hour, const std::string& first, int columns) {
    std::string r = "1990\t1\t1\t" + std::to_string(hour) + "\t" + first;
    for (int c = 1; c < columns; ++c) r += c == columns - 1 ? "\t1.5" : "\t0.0";
    return r + "\n";
  };
  struct Case {
    int columns;
    std::string first_row;  // the first column's field in the group's first row, then the second's
    std::string second_row;
    std::string shown;  // the first column's minimum and maximum, as written
  } cases[] = {
      {9, "0.0", "-0.0", "0"},   {9, "-0.0", "0.0", "-0"}, {9, "0.0", "-0", "0"}, {9, "-0", "0.0", "-0"},
      {9, "-0.0", "-0.0", "-0"}, {9, "0.0", "0.0", "0"},   {90, "0.0", "-0.0", "0"}, {90, "-0.0", "0.0", "-0"},
  };
  for (const Case& c : cases) {
    for (const Statistic statistic : {Statistic::MIN, Statistic::MAX}) {
      SCOPED_TRACE(c.first_row + " then " + c.second_row + ", columns " + std::to_string(c.columns) +
                   ", statistic " + std::to_string(static_cast<int>(statistic)));
      // A third row of other values closes the group of three.
      const std::string text = row(1, c.first_row, c.columns) + row(2, c.second_row, c.columns) + row(3, "0.0", c.columns);
      const Outcome fast = aggregate(text, Layout{c.columns, 0}, Source{0}, RowReading::BUFFERED, statistic);
      const Outcome plain = aggregate(text, Layout{c.columns, 0}, Source{0}, RowReading::PLAIN, statistic);
      EXPECT_EQ(fast.output, plain.output);
      EXPECT_TRUE(fast == plain);
      // The group's row and the totals row show the first column's extreme.
      EXPECT_EQ(fast.output.rfind("1990\t1\t1\t3\t" + c.shown + "\t", 0), 0u) << fast.output;
      EXPECT_NE(fast.output.find("\n0\t0\t0\t0\t" + c.shown + "\t"), std::string::npos) << fast.output;
    }
  }
}

// The count of leading groups of dry fields: the SSE2 test against its plain
// twin, on runs of dry groups with one byte changed, each within its bound.
TEST(RowValues, LeadingDryGroupsAgreeWithPlainTwin) {
  std::mt19937 rng(17);
  const char mutations[] = {'1', '.', '\t', ' ', '\n', '\0', '\x80', '-', '0'};
  std::string run;
  for (int g = 0; g < 8; ++g) run += tabsum::DRY_GROUP;
  run += std::string(16, '\0');  // what the reader keeps readable behind its text
  for (std::size_t n = 0; n < 20000; ++n) {
    std::string window = run;
    if (n % 5 != 0) window[rng() % (8 * 16)] = mutations[rng() % sizeof mutations];
    const std::size_t most = rng() % 10;
    const std::size_t plain = tabsum::leading_dry_groups_plain(window.data(), most);
    EXPECT_LE(plain, most);
#if defined(__SSE2__)
    ASSERT_EQ(tabsum::leading_dry_groups_sse2(window.data(), most), plain)
        << "window " << testing::PrintToString(window) << ", at most " << most;
#endif
  }
  const std::string two_then_wet = std::string(tabsum::DRY_GROUP) + tabsum::DRY_GROUP + "0.0\t0.5\t0.0\t0.0\t";
  EXPECT_EQ(tabsum::leading_dry_groups_plain(two_then_wet.data(), 3), 2u);
  EXPECT_EQ(tabsum::leading_dry_groups_plain(two_then_wet.data(), 1), 1u);
  EXPECT_EQ(tabsum::leading_dry_groups_plain("0.0\t0.0\t0.0\t0.0\n", 1), 0u);  // the row's last field
}

// The count of leading fields of the commonest form: the SSE2 test against
// its plain twin, on windows cut from tables and on bytes changed at random.
TEST(RowValues, LeadingOneDecimalFieldsAgreeWithPlainTwin) {
#if defined(__SSE2__)
  std::mt19937 rng(16);
  const std::string table = generated_table(rng, 30, 300, true);
  const char mutations[] = {'0', '9', '.', '\t', ' ', '\n', '/', ':', '\0', '\x80', '\xff', '-', '5'};
  for (std::size_t n = 0; n < 200000; ++n) {
    std::string window = table.substr(rng() % (table.size() - 16), 16);
    if (n % 2) {
      // From all-matching fields, one byte changed.
      window = "0.0\t1.5\t9.9\t2.0\t";
      window[rng() % 16] = mutations[rng() % sizeof mutations];
    }
    ASSERT_EQ(tabsum::leading_one_decimal_fields_sse2(window.data()),
              tabsum::leading_one_decimal_fields_plain(window.data()))
        << "window " << testing::PrintToString(window);
  }
  EXPECT_EQ(tabsum::leading_one_decimal_fields_plain("0.0\t1.5\t9.9\t2.0\t"), 4u);
  EXPECT_EQ(tabsum::leading_one_decimal_fields_plain("0.0\t1.5\t9.9 2.0\t"), 2u);
  EXPECT_EQ(tabsum::leading_one_decimal_fields_plain("\t0.0\t1.5\t9.9\t2."), 0u);
#else
  GTEST_SKIP() << "built without SSE2: only the plain count exists";
#endif
}

// The place of the next tab: the SSE2 search against its plain twin, from
// places chosen at random, on windows cut from tables and on windows of few
// tabs.
TEST(RowValues, TabFromAgreesWithPlainTwin) {
  std::mt19937 rng(18);
  const std::string table = generated_table(rng, 30, 300, true);
  const char bytes[] = {'\t', '1', '.', ' ', '\n', '\0', '\x89', '\xff'};
  for (std::size_t n = 0; n < 100000; ++n) {
    std::string window = table.substr(rng() % (table.size() - tabsum::END_SEARCH_CHARS), tabsum::END_SEARCH_CHARS);
    if (n % 2) {
      // Mostly digits, so that the tab looked for is often missing or last.
      window.assign(tabsum::END_SEARCH_CHARS, '7');
      for (std::size_t c = rng() % 3; c > 0; --c) window[rng() % window.size()] = bytes[rng() % sizeof bytes];
    }
    const std::size_t from = rng() % tabsum::END_SEARCH_CHARS;
    const std::size_t plain = tabsum::tab_from_plain(window.data(), from);
    ASSERT_TRUE(plain == tabsum::END_SEARCH_CHARS || (plain >= from && window[plain] == '\t'));
#if defined(__SSE2__)
    ASSERT_EQ(tabsum::tab_from_sse2(window.data(), from), plain)
        << "window " << testing::PrintToString(window) << ", from " << from;
#endif
  }
  const std::string window = "0.0\t1.25\t" + std::string(23, '9') + "\t";
  EXPECT_EQ(tabsum::tab_from_plain(window.data(), 0), 3u);
  EXPECT_EQ(tabsum::tab_from_plain(window.data(), 3), 3u);
  EXPECT_EQ(tabsum::tab_from_plain(window.data(), 4), 8u);
  EXPECT_EQ(tabsum::tab_from_plain(window.data(), 9), tabsum::END_SEARCH_CHARS);  // the tab at 32 lies behind
}

}  // namespace
