// pluvo's command line: which arguments choose the dialogue, an answers
// file or options; the strict values; and the exact line for every
// argument that cannot be used.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "batch_options.h"

namespace {

using pluvo::BatchSettings;
using pluvo::ParameterSource;

std::vector<std::string_view> split(const std::vector<std::string>& args) {
  return std::vector<std::string_view>(args.begin(), args.end());
}

// The four options every batch run needs, in front of the ones under test.
std::vector<std::string> required_and(std::vector<std::string> more) {
  std::vector<std::string> args = {"--anetz", "a.txt", "--output", "o.txt", "--start", "1.6.1998",
                                   "--end", "2.6.1998"};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

TEST(BatchArguments, RefusesWhatCannotBeUsedWithOneLineNamingIt) {
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--foo"}, "pluvo: unknown option '--foo'; see 'pluvo --help'\n"},
      {{"--anetz=a.txt", "--foo=1"}, "pluvo: unknown option '--foo=1'; see 'pluvo --help'\n"},
      {{"-x"}, "pluvo: unknown option '-x'; see 'pluvo --help'\n"},
      {{"--Anetz", "a.txt"}, "pluvo: unknown option '--Anetz'; see 'pluvo --help'\n"},
      {{"answers.txt", "more.txt"}, "pluvo: unexpected argument 'more.txt'; see 'pluvo --help'\n"},
      {required_and({"answers.txt"}), "pluvo: answers file 'answers.txt': not together with options\n"},
      {{"--output", "o.txt", "--start", "1.6.1998", "--end", "2.6.1998"}, "pluvo: --anetz is required\n"},
      {{"--anetz", "a.txt", "--start", "1.6.1998", "--end", "2.6.1998"}, "pluvo: --output is required\n"},
      {{"--anetz", "a.txt", "--output", "o.txt", "--end", "2.6.1998"}, "pluvo: --start is required\n"},
      {{"--anetz", "a.txt", "--output", "o.txt", "--start", "2.6.1998"}, "pluvo: --end is required\n"},
      {{"--power", "2"}, "pluvo: --anetz is required\n"},
      {required_and({"--power", "2", "--power=3"}), "pluvo: --power given twice\n"},
      {required_and({"--anetz", "a.txt"}), "pluvo: --anetz given twice\n"},
      {{"--keep-unmatched-rain", "--keep-unmatched-rain"}, "pluvo: --keep-unmatched-rain given twice\n"},
      {required_and({"--power"}), "pluvo: --power needs a value\n"},
      {required_and({"--keep-unmatched-rain=yes"}), "pluvo: --keep-unmatched-rain 'yes': takes no value\n"},
      {required_and({"--power", "2,3"}), "pluvo: --power '2,3': not a number\n"},
      {required_and({"--power", "2.3x"}), "pluvo: --power '2.3x': not a number\n"},
      {required_and({"--power", " 2"}), "pluvo: --power ' 2': not a number\n"},
      {required_and({"--power", "2 "}), "pluvo: --power '2 ': not a number\n"},
      {required_and({"--power="}), "pluvo: --power '': not a number\n"},
      {required_and({"--power", "0x10"}), "pluvo: --power '0x10': not a number\n"},
      {required_and({"--power", "+-2"}), "pluvo: --power '+-2': not a number\n"},
      {required_and({"--nodata", "inf"}), "pluvo: --nodata 'inf': not a finite number\n"},
      {required_and({"--max-distance", "nan"}), "pluvo: --max-distance 'nan': not a finite number\n"},
      {required_and({"--upper-limit", "1e400"}), "pluvo: --upper-limit '1e400': out of range\n"},
      {required_and({"--lower-limit", "-"}), "pluvo: --lower-limit '-': not a number\n"},
      {required_and({"--lower-replacement", "abc"}), "pluvo: --lower-replacement 'abc': not a number\n"},
      {required_and({"--upper-replacement", "5e"}), "pluvo: --upper-replacement '5e': not a number\n"},
      {{"--anetz", "a.txt", "--output", "o.txt", "--start", "31.4.2017", "--end", "1.5.2017"},
       "pluvo: --start '31.4.2017': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--anetz", "a.txt", "--output", "o.txt", "--start", "1.5.2017", "--end", "29.2.2017"},
       "pluvo: --end '29.2.2017': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--anetz", "a.txt", "--output", "o.txt", "--start", "29.2.1900", "--end", "1.3.1900"},
       "pluvo: --start '29.2.1900': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "1.13.2017"}, "pluvo: --start '1.13.2017': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "0.1.2017"}, "pluvo: --start '0.1.2017': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "1.0.2017"}, "pluvo: --start '1.0.2017': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "1.6.98"}, "pluvo: --start '1.6.98': write the year in full (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--end=1.6.0"}, "pluvo: --end '1.6.0': write the year in full (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "1.6.2147483648"}, "pluvo: --start '1.6.2147483648': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "2017-06-31"}, "pluvo: --start '2017-06-31': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "2017-6"}, "pluvo: --start '2017-6': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "2017-06-01-"}, "pluvo: --start '2017-06-01-': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "0016-11-01"}, "pluvo: --start '0016-11-01': write the year in full (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "1.6-2017"}, "pluvo: --start '1.6-2017': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {required_and({"--max-distance", "-1"}), "pluvo: --max-distance '-1': a distance cannot be negative\n"},
      {required_and({"--max-distance", "-60000"}), "pluvo: --max-distance '-60000': a distance cannot be negative\n"},
      {required_and({"--nodata", "-1"}),
       "pluvo: --nodata '-1': must be above 0 (values not above minus it are missing)\n"},
      {required_and({"--nodata", "0"}),
       "pluvo: --nodata '0': must be above 0 (values not above minus it are missing)\n"},
      {required_and({"--klima", "k.txt"}), "pluvo: --max-distance is required with --klima or --sammler\n"},
      {required_and({"--sammler=s.txt", "--power", "1"}),
       "pluvo: --max-distance is required with --klima or --sammler\n"},
      {required_and({"--upper-replacement", "5"}), "pluvo: --upper-replacement needs --upper-limit\n"},
      {{"--start", "1.6.2017."}, "pluvo: --start '1.6.2017.': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "1.6"}, "pluvo: --start '1.6': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "-1.6.2017"}, "pluvo: --start '-1.6.2017': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "1.+6.2017"}, "pluvo: --start '1.+6.2017': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start", "99999999999.6.2017"}, "pluvo: --start '99999999999.6.2017': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--start="}, "pluvo: --start '': not a valid date (D.M.YYYY or YYYY-MM-DD)\n"},
      {{"--anetz="}, "pluvo: --anetz '': no file name\n"},
      {{"--output", ""}, "pluvo: --output '': no file name\n"},
  };
  for (const auto& c : cases) {
    BatchSettings settings;
    std::string message;
    std::string shown;
    for (const std::string& a : c.args) shown += "[" + a + "]";
    EXPECT_FALSE(pluvo::parse_batch_arguments(split(c.args), settings, message)) << shown;
    EXPECT_EQ(message, c.message) << shown;
  }
}

TEST(BatchArguments, NoArgumentsAnswersFileOrTheRuleAloneKeepTheDialogue) {
  BatchSettings settings;
  std::string message;
  ASSERT_TRUE(pluvo::parse_batch_arguments({}, settings, message));
  EXPECT_EQ(settings.source, ParameterSource::dialogue_on_standard_input);
  EXPECT_FALSE(settings.keep_unmatched_rain);

  ASSERT_TRUE(pluvo::parse_batch_arguments({"answers.txt"}, settings, message));
  EXPECT_EQ(settings.source, ParameterSource::dialogue_from_answers_file);
  EXPECT_EQ(settings.answers_file_name, "answers.txt");

  // After "--" a name that starts with a dash is an answers file.
  ASSERT_TRUE(pluvo::parse_batch_arguments({"--keep-unmatched-rain", "--", "-a.txt"}, settings, message));
  EXPECT_EQ(settings.source, ParameterSource::dialogue_from_answers_file);
  EXPECT_EQ(settings.answers_file_name, "-a.txt");
  EXPECT_TRUE(settings.keep_unmatched_rain);

  ASSERT_TRUE(pluvo::parse_batch_arguments({"--keep-unmatched-rain"}, settings, message));
  EXPECT_EQ(settings.source, ParameterSource::dialogue_on_standard_input);
  EXPECT_TRUE(settings.keep_unmatched_rain);
}

TEST(BatchArguments, OptionsSetEveryParameterAndLeaveTheRestAtTheirDefaults) {
  BatchSettings settings;
  std::string message;
  const std::vector<std::string> args = {"--anetz", "a b.txt", "--output=o.txt", "--start", "1.6.1998",
                                         "--end=02.06.1998", "--power", "+2.5", "--lower-replacement",
                                         "-999", "--klima", "k.txt", "--max-distance", "20"};
  ASSERT_TRUE(pluvo::parse_batch_arguments(split(args), settings, message)) << message;
  const pluvo::RunParameters& p = settings.params;
  EXPECT_EQ(settings.source, ParameterSource::options);
  EXPECT_EQ(p.anetz_file_name, "a b.txt");
  EXPECT_EQ(p.klima_file_name, "k.txt");
  EXPECT_EQ(p.sammler_file_name, "");
  EXPECT_EQ(p.output_file_name, "o.txt");
  EXPECT_EQ(p.start_day, 1);
  EXPECT_EQ(p.start_month, 6);
  EXPECT_EQ(p.start_year, 1998);
  EXPECT_EQ(p.start_hour, 1);
  EXPECT_EQ(p.end_day, 2);
  EXPECT_EQ(p.end_month, 6);
  EXPECT_EQ(p.end_year, 1998);
  EXPECT_EQ(p.power, 2.5);
  EXPECT_EQ(p.lower_replacement, -999.0);
  EXPECT_EQ(p.max_distance, 20.0);
  // Left out: no upper limit, and the dialogue's nodata and lower limit.
  EXPECT_EQ(p.nodata, 998.0);
  EXPECT_EQ(p.lower_limit, 0.0);
  EXPECT_EQ(p.upper_limit, std::numeric_limits<double>::infinity());
  EXPECT_FALSE(settings.keep_unmatched_rain);
}

TEST(BatchArguments, DefaultsInterpolateWhereTheDialoguesWouldGiveZeros) {
  BatchSettings settings;
  std::string message;
  ASSERT_TRUE(pluvo::parse_batch_arguments(split(required_and({})), settings, message)) << message;
  EXPECT_EQ(settings.params.power, 2.0);
  EXPECT_EQ(settings.params.upper_limit, std::numeric_limits<double>::infinity());
  // The dialogue keeps its own.
  EXPECT_EQ(pluvo::dialogue_defaults().power, 0.0);
  EXPECT_EQ(pluvo::dialogue_defaults().upper_limit, 0.0);
  // An empty Klima or Sammler name is no group: nothing to reach.
  ASSERT_TRUE(pluvo::parse_batch_arguments(split(required_and({"--klima="})), settings, message)) << message;
  ASSERT_TRUE(pluvo::parse_batch_arguments(split(required_and({"--upper-limit", "50", "--upper-replacement", "50"})),
                                           settings, message))
      << message;
  EXPECT_EQ(settings.params.upper_replacement, 50.0);
  // A distance of 0 is allowed (stations on the same site).
  ASSERT_TRUE(pluvo::parse_batch_arguments(split(required_and({"--max-distance", "0"})), settings, message));
}

TEST(BatchArguments, DatesAreTakenAsGivenNotRanged) {
  // The dialogue would take February's length from the end year and make
  // the start 28.2.1996; an option date that exists is used as it is.
  BatchSettings settings;
  std::string message;
  const std::vector<std::string> args = {"--anetz", "a", "--output", "o", "--start", "29.2.1996",
                                         "--end", "1.1.1997", "--sammler="};
  ASSERT_TRUE(pluvo::parse_batch_arguments(split(args), settings, message)) << message;
  EXPECT_EQ(settings.params.start_day, 29);
  EXPECT_EQ(settings.params.start_month, 2);
  EXPECT_EQ(settings.params.start_year, 1996);
  EXPECT_EQ(settings.params.sammler_file_name, "");  // empty: no Sammler stations, as in the dialogue

  int day = 0, month = 0, year = 0;
  std::string problem;
  EXPECT_TRUE(pluvo::parse_strict_date("29.2.2000", day, month, year, problem));
  EXPECT_TRUE(pluvo::parse_strict_date("31.12.100", day, month, year, problem));
  EXPECT_EQ(year, 100);
  // Any year the dialogue takes, as far as an int holds it.
  EXPECT_TRUE(pluvo::parse_strict_date("31.12.2147483647", day, month, year, problem));
  EXPECT_EQ(year, 2147483647);
  EXPECT_TRUE(pluvo::parse_strict_date("29.2.2400", day, month, year, problem));
  // The form of national data services.
  ASSERT_TRUE(pluvo::parse_strict_date("2016-11-01", day, month, year, problem));
  EXPECT_EQ(day, 1);
  EXPECT_EQ(month, 11);
  EXPECT_EQ(year, 2016);
  EXPECT_TRUE(pluvo::parse_strict_date("2000-2-29", day, month, year, problem));
  EXPECT_FALSE(pluvo::parse_strict_date("1900-02-29", day, month, year, problem));
}

TEST(BatchArguments, NumbersAreWholeAndFinite) {
  const struct {
    const char* text;
    double value;
  } accepted[] = {{"2", 2.0}, {"-0.5", -0.5}, {"+3", 3.0}, {".5", 0.5}, {"5.", 5.0}, {"1e3", 1000.0},
                  {"-1E-2", -0.01}, {"998.0", 998.0}};
  for (const auto& a : accepted) {
    double value = -1.0;
    std::string problem;
    EXPECT_TRUE(pluvo::parse_strict_number(a.text, value, problem)) << a.text;
    EXPECT_EQ(value, a.value) << a.text;
  }
}

}  // namespace

namespace {

// --threads goes with the dialogue, an answers file and the options, and
// takes a whole number from 1 to 256.
TEST(BatchArguments, ThreadsGoWithEveryWayOfGivingTheParameters) {
  const struct {
    std::vector<std::string> args;
    ParameterSource source;
    int threads;
  } taken[] = {
      {{}, ParameterSource::dialogue_on_standard_input, 0},
      {{"--threads", "3"}, ParameterSource::dialogue_on_standard_input, 3},
      {{"--threads=2", "answers.txt"}, ParameterSource::dialogue_from_answers_file, 2},
      {{"answers.txt", "--threads", "256", "--keep-unmatched-rain"}, ParameterSource::dialogue_from_answers_file, 256},
      {required_and({"--threads", "1"}), ParameterSource::options, 1},
  };
  for (const auto& c : taken) {
    BatchSettings settings;
    std::string message;
    ASSERT_TRUE(pluvo::parse_batch_arguments(split(c.args), settings, message)) << message;
    EXPECT_EQ(settings.source, c.source);
    EXPECT_EQ(settings.threads, c.threads);
  }
  const struct {
    std::vector<std::string> args;
    std::string line;
  } refused[] = {
      {{"--threads", "0"}, "pluvo: --threads '0': not a whole number from 1 to 256\n"},
      {{"--threads", "257"}, "pluvo: --threads '257': not a whole number from 1 to 256\n"},
      {{"--threads=2.5"}, "pluvo: --threads '2.5': not a whole number from 1 to 256\n"},
      {{"--threads", "-1"}, "pluvo: --threads '-1': not a whole number from 1 to 256\n"},
      {{"--threads", "99999999999"}, "pluvo: --threads '99999999999': not a whole number from 1 to 256\n"},
      {{"--threads="}, "pluvo: --threads '': not a whole number from 1 to 256\n"},
      {{"--threads"}, "pluvo: --threads needs a value\n"},
      {{"--threads", "2", "--threads", "2"}, "pluvo: --threads given twice\n"},
  };
  for (const auto& c : refused) {
    BatchSettings settings;
    std::string message;
    EXPECT_FALSE(pluvo::parse_batch_arguments(split(c.args), settings, message));
    EXPECT_EQ(message, c.line);
  }
  // Left out: the cores the machine offers, at least 1.
  EXPECT_GE(pluvo::default_threads(), 1);
  EXPECT_LE(pluvo::default_threads(), pluvo::MAX_THREADS);
}

}  // namespace
