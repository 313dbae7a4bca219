// tabsum's options in front of its file names: what each sets, where the
// file names begin, and every way an option is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aggregator/command_options.h"
#include "aggregator/exit_codes.h"
#include "fatal_error.h"

namespace {

std::vector<const char*> pointers(const std::vector<std::string>& words) {
  std::vector<const char*> p;
  for (const std::string& w : words) p.push_back(w.c_str());
  return p;
}

TEST(TabsumOptions, SetTheirSettingsAndStopAtTheFirstFileName) {
  using tabsum::Period;
  using tabsum::Statistic;
  const std::vector<std::string> words = {"tabsum",       "--by",        "water-year", "--stamps=start",
                                          "--step",       "3",           "--min-valid", "0.9",
                                          "--day-start",  "7",           "--water-year-start=11",
                                          "--stat",       "max",         "in.txt",     "--by", "out.txt"};
  const std::vector<const char*> argv = pointers(words);
  tabsum::PeriodSettings s;
  EXPECT_EQ(tabsum::parse_options(static_cast<int>(argv.size()), argv.data(), s), 13);
  EXPECT_EQ(s.period, Period::WATER_YEAR);
  EXPECT_TRUE(s.stamps_at_start);
  EXPECT_EQ(s.step, 3);
  EXPECT_EQ(s.min_valid, 0.9);
  EXPECT_EQ(s.day_start, 7);
  EXPECT_EQ(s.water_year_start, 11);
  EXPECT_EQ(s.statistic, Statistic::MAX);
  EXPECT_TRUE(tabsum::uses_statistics(s));
}

TEST(TabsumOptions, AnythingElseIsAFileNameAsBefore) {
  const std::vector<std::vector<std::string>> lines = {
      {"tabsum", "in.txt", "out.txt", "24"},
      {"tabsum", "--bye", "out.txt", "24"},      // not an option: a file of that name
      {"tabsum", "--", "--by", "out.txt", "24"},  // "--" ends the options
      {"tabsum", "-h", "out.txt", "24"},
  };
  const int first[] = {1, 1, 2, 1};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::vector<const char*> argv = pointers(lines[i]);
    tabsum::PeriodSettings s;
    EXPECT_EQ(tabsum::parse_options(static_cast<int>(argv.size()), argv.data(), s), first[i]) << lines[i][1];
    EXPECT_FALSE(tabsum::uses_statistics(s));
  }
}

TEST(TabsumOptions, RefusedWithTheirMessage) {
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"--by", "week"}, "invalid value for --by 'week'; see 'tabsum --help'\n"},
      {{"--by", "Month"}, "invalid value for --by 'Month'; see 'tabsum --help'\n"},
      {{"--by=", "in.txt"}, "invalid value for --by ''; see 'tabsum --help'\n"},
      {{"--stamps", "begin"}, "invalid value for --stamps 'begin'; see 'tabsum --help'\n"},
      {{"--by", "day", "--step", "0"}, "invalid value for --step '0'; see 'tabsum --help'\n"},
      {{"--by", "day", "--step", "25"}, "invalid value for --step '25'; see 'tabsum --help'\n"},
      {{"--by", "day", "--step", "1.5"}, "invalid value for --step '1.5'; see 'tabsum --help'\n"},
      {{"--min-valid", "0"}, "invalid value for --min-valid '0'; see 'tabsum --help'\n"},
      {{"--min-valid", "1.01"}, "invalid value for --min-valid '1.01'; see 'tabsum --help'\n"},
      {{"--min-valid", "90%"}, "invalid value for --min-valid '90%'; see 'tabsum --help'\n"},
      {{"--min-valid", "nan"}, "invalid value for --min-valid 'nan'; see 'tabsum --help'\n"},
      {{"--by", "day", "--day-start", "24"}, "invalid value for --day-start '24'; see 'tabsum --help'\n"},
      {{"--by", "day", "--day-start", "-1"}, "invalid value for --day-start '-1'; see 'tabsum --help'\n"},
      {{"--by", "day", "--water-year-start", "13"},
       "invalid value for --water-year-start '13'; see 'tabsum --help'\n"},
      {{"--stat", "median"}, "invalid value for --stat 'median'; see 'tabsum --help'\n"},
      {{"--stat"}, "option --stat needs a value\n"},
      {{"--stat", "sum", "--stat=mean"}, "option --stat given twice\n"},
      {{"--stamps", "start", "in.txt"}, "option --stamps works only with --by\n"},
      {{"--step", "1", "in.txt"}, "option --step works only with --by\n"},
      {{"--water-year-start", "11", "in.txt"}, "option --water-year-start works only with --by\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> words = {"tabsum"};
    words.insert(words.end(), c.args.begin(), c.args.end());
    const std::vector<const char*> argv = pointers(words);
    tabsum::PeriodSettings s;
    try {
      tabsum::parse_options(static_cast<int>(argv.size()), argv.data(), s);
      ADD_FAILURE() << c.message << "was not raised";
    } catch (const textio::FatalError& f) {
      EXPECT_EQ(f.message, c.message);
      EXPECT_EQ(f.code, tabsum::EXIT_BAD_INPUT);
    }
  }
}

}  // namespace
