// tabsum's command-line conversions and the detection of the table layout.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "command_line.h"
#include "fatal_error.h"
#include "layout_detection.h"
#include "tabsum_run.h"

namespace {

TEST(DetectColumns, CountsTheValueFieldsOfTheFirstDataLine) {
  const struct {
    const char* line;
    int columns;
    const char* rest;
  } cases[] = {
      {"2019 1 1 0 1.0 2.0\n", 2, ""},
      {"2019 1 1 0 1.0 2.0 x 3.0\n", 2, "3.0\n\t"},
      {"2019 1 1 0 1.0 abc 2.0\n", 1, "2.0\n\t"},
      {"2019 1\t1 \t\t0  5.0\t6.0\n", 2, ""},  // blank, tab, blank+two tabs, two blanks
      {"2019 1 1 0 1.0 2.0 \t \n", 2, ""},     // trailing blanks and tabs add no column
      {"2019 1 1 0 1.0 2.0", 2, ""},           // no line end
      {"2019 1 1 0 12abc -5 .5 nan inf\n", 5, ""},  // what the row reading takes counts
      {"2019 1 1 0 1.5 0x 2.0\n", 1, "2.0\n\t"},   // an unfinished hexadecimal number does not
      {"2019 1 1 0\n", 0, ""},  // fewer than five fields
      {"2019 1 1\n", 0, ""},
      {"2019\n", 0, ""},
      {"2019 1 1 0 x\n", 0, ""},  // the cut runs to the appended tab
      {"   2019 1 1 0 1.0 2.0\n", 2, ""},   // right-aligned: leading blanks are no field
      {"\t 2019\t1\t1\t0\t7\n", 1, ""},
  };
  for (const auto& c : cases) {
    tabsum::ColumnLayout layout = tabsum::detect_columns(c.line);
    EXPECT_EQ(layout.data_columns, c.columns) << c.line;
    EXPECT_EQ(layout.rest, c.rest) << c.line;
  }
}

TEST(StartsWithNumber, DecidesWhatIsAHeaderRow) {
  const struct {
    const char* line;
    bool number;
  } cases[] = {{"2019 1 1", true}, {"-5 x", true},   {".5", true},      {"  \t 7", true}, {"\n", false},
               {"YY MM", false},   {"", false},      {"- 5", false},    {"+.e1", false},  {"inf", false},
               {"0x1p3", true},    {"e5", false},    {"\n\n3", true},  {"Info: gauge", false}, {"NaN = gap", false},
               {"-infinity", false}, {"+1e", true}, {"0xg", false}};
  for (const auto& c : cases) EXPECT_EQ(tabsum::starts_with_number(c.line), c.number) << c.line;
}

TEST(CommandLine, IntegerArgumentsAreHeldAtTheIntLimits) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"12", 12},     {"  -3x", -3}, {"auto", 0},       {"+7", 7},
               {"", 0},        {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN},
               {"2147483647", INT_MAX},       {"-2147483648", INT_MIN}, {"2147483648", INT_MAX}};
  for (const auto& c : cases) EXPECT_EQ(tabsum::convert_int_argument(c.text), c.value) << c.text;
}

TEST(CommandLine, NumberOfIntervalsIsCutTowardZero) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"2.9", 2},  {"1.9", 1},  {"x", 0},           {"nan", 0},         {"1e12", INT_MAX},
               {"-1e12", INT_MIN},       {"inf", INT_MAX},   {"-2.9", -2},       {" 24", 24}, {"0x10", 16}};
  for (const auto& c : cases) EXPECT_EQ(tabsum::convert_intervals_argument(c.text), c.value) << c.text;
}

TEST(CommandLine, ArgumentsFillTheSettings) {
  const char* three[] = {"tabsum", "in", "out", "24"};
  tabsum::AggregationSettings s;
  ASSERT_TRUE(tabsum::parse_command_line(4, three, s));
  EXPECT_EQ(s.headrows, -1);
  EXPECT_FALSE(s.data_columns_given);
  EXPECT_EQ(s.additional_columns, 0);

  const char* seven[] = {"tabsum", "in", "out", "24", "-4", "3", "2", "ignored"};
  tabsum::AggregationSettings t;
  ASSERT_TRUE(tabsum::parse_command_line(8, seven, t));
  EXPECT_EQ(t.headrows, -1);  // negative: detect
  EXPECT_TRUE(t.data_columns_given);
  EXPECT_EQ(t.data_columns, 3);
  EXPECT_EQ(t.additional_columns, 2);

  const char* two[] = {"tabsum", "in", "out"};
  tabsum::AggregationSettings u;
  EXPECT_FALSE(tabsum::parse_command_line(3, two, u));
}

void* refuse_allocation(std::size_t, std::size_t) { return nullptr; }

TEST(TabsumRun, ColumnSumsThatCannotBeObtainedEndTheRun) {
  const std::string dir = ::testing::TempDir();
  const std::string in = dir + "tabsum_alloc_in.txt";
  const std::string out = dir + "tabsum_alloc_out.txt";
  std::FILE* f = std::fopen(in.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs("2019 1 1 0 1.0\n", f);
  std::fclose(f);

  textio::OutputBuffer console;
  tabsum::TabsumRun run(console);
  run.allocate_zeroed = refuse_allocation;
  const char* argv[] = {"tabsum", in.c_str(), out.c_str(), "2", "0", "5"};
  try {
    tabsum::run_tabsum(run, 6, argv);
    FAIL() << "no failure";
  } catch (const textio::FatalError& e) {
    EXPECT_EQ(e.code, 1);
    EXPECT_EQ(e.message, "not enough memory for 5 columns\n");
  }
  EXPECT_EQ(console.take_captured(), "aggregating korin table-files\n0 header rows..\n\n5 columns \n");
  std::remove(in.c_str());
  std::remove(out.c_str());
}

}  // namespace
