// pluvo's run state: the ring, the date ranging of the dialogue, the
// calendar of the hourly advance, the scaling of a window and the failure
// of an allocation at start-up.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

#include "day_loop.h"
#include "fatal_error.h"
#include "hour_ring.h"
#include "hourly_advance.h"
#include "parameter_dialogue.h"
#include "platform_io.h"
#include "run_sequence.h"
#include "run_state.h"

namespace {

using pluvo::DateHour;
using pluvo::PluvoRun;

struct RunFixture : ::testing::Test {
  textio::OutputBuffer console;
  textio::TextReader answers;
  PluvoRun run{console, answers};
};

TEST_F(RunFixture, RotationExchangesReferencesOnly) {
  pluvo::obtain_ring(run);
  double* before[pluvo::RING_SLOTS];
  for (int k = 0; k < pluvo::RING_SLOTS; ++k) {
    before[k] = run.ring[k].values;
    run.ring[k].values[1] = k;
    EXPECT_EQ(run.ring[k].stamp->year, -999);
    EXPECT_EQ(run.ring[k].values[pluvo::FIRST_ROOM_STATIONS], -999.0);
  }
  pluvo::rotate_ring(run);
  for (int k = 0; k <= 23; ++k) EXPECT_EQ(run.ring[k].values, before[k + 1]);
  EXPECT_EQ(run.ring[24].values, before[0]);
  EXPECT_EQ(run.ring[25].values, before[0]);
  EXPECT_EQ(run.ring[24].values[1], 0.0);  // slot 0's old contents, not copied
}

TEST(DateRanging, BringsTheDialogueDatesIntoRange) {
  const struct {
    int sd, sm, sy, ed, em, ey;
    int want_sd, want_sm, want_sy, want_ed, want_em, want_ey;
  } cases[] = {
      {1, 1, 1998, 30, 2, 2000, 1, 1, 1998, 29, 2, 2000},
      {1, 1, 1998, 30, 2, 1900, 1, 1, 1998, 28, 2, 1900},
      {1, 1, 1998, 29, 2, 1999, 1, 1, 1998, 28, 2, 1999},
      {1, 1, 99, 1, 1, 0, 1, 1, 1999, 1, 1, 1900},
      {1, 1, -5, 1, 1, 100, 1, 1, 1895, 1, 1, 100},
      {29, 2, 1996, 1, 1, 1997, 28, 2, 1996, 1, 1, 1997},  // February of the end year
      {0, 0, 1998, 31, 4, 1998, 1, 1, 1998, 30, 4, 1998},
      {1, 13, 1998, 40, 13, 1998, 1, 12, 1998, 31, 12, 1998},
      {0, 0, 0, 0, 0, 0, 1, 1, 1900, 1, 1, 1900},
      {5, 6, 2001, 1, 6, 1998, 5, 6, 2001, 1, 6, 1998},  // start after end: accepted
  };
  for (const auto& c : cases) {
    pluvo::RunParameters p;
    p.start_day = c.sd;
    p.start_month = c.sm;
    p.start_year = c.sy;
    p.end_day = c.ed;
    p.end_month = c.em;
    p.end_year = c.ey;
    pluvo::bring_dates_into_range(p);
    EXPECT_EQ(p.start_day, c.want_sd);
    EXPECT_EQ(p.start_month, c.want_sm);
    EXPECT_EQ(p.start_year, c.want_sy);
    EXPECT_EQ(p.end_day, c.want_ed);
    EXPECT_EQ(p.end_month, c.want_em);
    EXPECT_EQ(p.end_year, c.want_ey);
  }
}

TEST_F(RunFixture, DialogueTakesWordsLinesAndNumbers) {
  answers.attach_text(
      "anetz.txt klima file.txt\r\n\r\nout.txt\r\n500\r\n3\r\n5\r\n98\r\n4\r\n5\r\n1998\r\n2.3\r\n60000\r\n0\r\n-1\r\n"
      "200\r\n201\r\n");
  pluvo::run_parameter_dialogue(run);
  const pluvo::RunParameters& p = run.params;
  EXPECT_EQ(p.anetz_file_name, "anetz.txt");
  EXPECT_EQ(p.klima_file_name, "klima file.txt");  // the rest of the first line
  EXPECT_EQ(p.sammler_file_name, "");
  EXPECT_EQ(p.output_file_name, "out.txt");
  EXPECT_EQ(p.nodata, 500.0);
  EXPECT_EQ(p.start_day, 3);
  EXPECT_EQ(p.start_month, 5);
  EXPECT_EQ(p.start_year, 1998);
  EXPECT_EQ(p.start_hour, 1);
  EXPECT_EQ(p.end_day, 4);
  EXPECT_EQ(p.end_year, 1998);
  EXPECT_EQ(p.power, 2.3);
  EXPECT_EQ(p.max_distance, 60000.0);
  EXPECT_EQ(p.lower_replacement, -1.0);
  EXPECT_EQ(p.upper_replacement, 201.0);
  const std::string shown = console.take_captured();
  EXPECT_EQ(shown.rfind("hourly data         : konventional data (2 or 3 values a day): ", 0), 0u);
  EXPECT_NE(shown.find("output file:  nodata value (e.g. 998: all values <-998 or > 998 will be interpreted as "
                       "nodata values)\nstarting day   : staring month  : "),
            std::string::npos);
}

TEST_F(RunFixture, DialogueKeepsUnconvertedAnswersAtTheirDefaults) {
  // A word followed by a blank: the blank is the discarded character and the
  // line end answers the Klima question with an empty line.
  answers.attach_text("anetz.txt \nsammler.txt\nout.txt\nx\n5\n");
  pluvo::run_parameter_dialogue(run);
  const pluvo::RunParameters& p = run.params;
  EXPECT_EQ(p.klima_file_name, "");
  EXPECT_EQ(p.sammler_file_name, "sammler.txt");
  EXPECT_EQ(p.nodata, 998.0);  // "x" does not convert, and stays for every later number
  EXPECT_EQ(p.start_day, 1);
  EXPECT_EQ(p.start_year, 1900);
  EXPECT_EQ(p.power, 0.0);
}

TEST_F(RunFixture, FileNamesEndAtANulByte) {
  // A Klima answer that starts with NUL is an empty name: no Klima stations.
  static const char text[] = "anetz.txt\n\0klima.txt\nsam\0mler.txt\nout\0.txt\n";
  answers.attach_text(std::string(text, sizeof text - 1));
  pluvo::run_parameter_dialogue(run);
  EXPECT_EQ(run.params.anetz_file_name, "anetz.txt");
  EXPECT_EQ(run.params.klima_file_name, "");
  EXPECT_EQ(run.params.sammler_file_name, "sam");
  EXPECT_EQ(run.params.output_file_name, "out");
  console.take_captured();
}

TEST(NextHour, FollowsTheGregorianCalendar) {
  const struct {
    DateHour from;
    DateHour to;
  } cases[] = {
      {{.day = 1, .hour = 5, .month = 6, .year = 1998}, {.day = 1, .hour = 6, .month = 6, .year = 1998}},
      {{.day = 1, .hour = 24, .month = 6, .year = 1998}, {.day = 2, .hour = 1, .month = 6, .year = 1998}},
      {{.day = 30, .hour = 24, .month = 6, .year = 1998}, {.day = 1, .hour = 1, .month = 7, .year = 1998}},
      {{.day = 31, .hour = 24, .month = 12, .year = 1998}, {.day = 1, .hour = 1, .month = 1, .year = 1999}},
      {{.day = 28, .hour = 24, .month = 2, .year = 2000}, {.day = 29, .hour = 1, .month = 2, .year = 2000}},
      {{.day = 28, .hour = 24, .month = 2, .year = 1900}, {.day = 1, .hour = 1, .month = 3, .year = 1900}},
      {{.day = 29, .hour = 24, .month = 2, .year = 1996}, {.day = 1, .hour = 1, .month = 3, .year = 1996}},
      {{.day = -999, .hour = -999, .month = -999, .year = -999}, {.day = 1, .hour = 1, .month = 1, .year = -998}},
      {{.day = 40, .hour = 24, .month = 13, .year = 1998}, {.day = 1, .hour = 1, .month = 1, .year = 1999}},
      {{.day = 1, .hour = 0, .month = 6, .year = 1998}, {.day = 1, .hour = 1, .month = 6, .year = 1998}},
      {{.day = 31, .hour = 23, .month = 12, .year = INT_MAX}, {.day = 31, .hour = 24, .month = 12, .year = INT_MAX}},
      // Past the last day of the last year an int holds: the latest stamp, for good.
      {{.day = 31, .hour = 24, .month = 12, .year = INT_MAX},
       {.day = INT_MAX, .hour = 24, .month = INT_MAX, .year = INT_MAX}},
      {{.day = INT_MAX, .hour = 24, .month = INT_MAX, .year = INT_MAX},
       {.day = INT_MAX, .hour = 24, .month = INT_MAX, .year = INT_MAX}},
  };
  for (const auto& c : cases) {
    const DateHour n = pluvo::next_hour(c.from);
    EXPECT_EQ(n.day, c.to.day);
    EXPECT_EQ(n.hour, c.to.hour);
    EXPECT_EQ(n.month, c.to.month);
    EXPECT_EQ(n.year, c.to.year);
  }
}

TEST_F(RunFixture, ScalingAWindowToItsMeasuredTotal) {
  pluvo::obtain_ring(run);
  const int k = 3;
  const auto window = [&](double measured, std::initializer_list<double> hours) {
    run.ring[0].values[k] = measured;
    double sum = 0.0;
    int s = 1;
    for (double h : hours) {
      run.ring[s].values[k] = h;
      sum += h;
      ++s;
    }
    pluvo::scale_window(run, k, sum, 1, static_cast<int>(hours.size()));
    std::vector<double> out;
    for (int i = 1; i <= static_cast<int>(hours.size()); ++i) out.push_back(run.ring[i].values[k]);
    return out;
  };
  EXPECT_EQ(window(12.0, {0.0, 0.0, 1.0, 2.0, 1.0, 0.0}), (std::vector<double>{0.0, 0.0, 3.0, 6.0, 3.0, 0.0}));
  EXPECT_EQ(window(-999.0, {0.0, 1.0, 2.0}), (std::vector<double>{-999.0, -999.0, -999.0}));
  EXPECT_EQ(window(12.0, {0.0, 0.0, 0.0}), (std::vector<double>{0.0, 0.0, 0.0}));  // S = 0
  EXPECT_EQ(window(0.0, {1.0, 3.0}), (std::vector<double>{0.0, 0.0}));             // nothing measured
  EXPECT_EQ(window(5.0, {2000.0, -999.0}), (std::vector<double>{2000.0 * (5.0 / 1001.0), -999.0}));  // a missing hour
  EXPECT_EQ(window(5.0, {2.0, -999.0}), (std::vector<double>{-999.0, -999.0}));  // ... that makes S < 0
  EXPECT_EQ(window(5.0, {-2000.0, 1.0}), (std::vector<double>{-999.0, -999.0}));   // S < 0
}

TEST_F(RunFixture, KeptRainIsSharedByTheValidHoursOfAWindowWithoutInterpolatedRain) {
  pluvo::obtain_ring(run);
  run.keep_unmatched_rain = true;
  const int k = 3;
  // The sum is given, so that a window can hold a missing hour with S = 0.
  const auto window = [&](double measured, double sum, std::initializer_list<double> hours) {
    run.ring[0].values[k] = measured;
    int s = 1;
    for (double h : hours) run.ring[s++].values[k] = h;
    pluvo::scale_window(run, k, sum, 1, static_cast<int>(hours.size()));
    std::vector<double> out;
    for (int i = 1; i <= static_cast<int>(hours.size()); ++i) out.push_back(run.ring[i].values[k]);
    return out;
  };
  EXPECT_EQ(window(12.0, 0.0, {0.0, 0.0, 0.0, 0.0}), (std::vector<double>{3.0, 3.0, 3.0, 3.0}));
  // A missing hour stays missing and takes no share.
  EXPECT_EQ(window(12.0, 0.0, {0.0, -999.0, 0.0, 0.0}), (std::vector<double>{4.0, -999.0, 4.0, 4.0}));
  EXPECT_EQ(run.kept_rain_windows, 2);
  EXPECT_EQ(run.kept_rain_total, 24.0);
  // Every other window is scaled as without the rule.
  EXPECT_EQ(window(12.0, 4.0, {0.0, 1.0, 2.0, 1.0}), (std::vector<double>{0.0, 3.0, 6.0, 3.0}));
  EXPECT_EQ(window(0.0, 0.0, {0.0, 0.0}), (std::vector<double>{0.0, 0.0}));               // nothing measured
  EXPECT_EQ(window(-0.5, 0.0, {0.0, 0.0}), (std::vector<double>{0.0, 0.0}));              // below 0, valid
  EXPECT_EQ(window(-999.0, 0.0, {0.0, 0.0}), (std::vector<double>{-999.0, -999.0}));      // no reading
  EXPECT_EQ(window(5.0, -1.0, {0.0, 0.0}), (std::vector<double>{-999.0, -999.0}));        // S < 0
  EXPECT_EQ(window(5.0, std::nan(""), {0.0, 0.0}), (std::vector<double>{0.0, 0.0}));      // S not a number
  EXPECT_EQ(window(5.0, 0.0, {-999.0, -999.0}), (std::vector<double>{-999.0, -999.0}));   // no valid hour
  EXPECT_EQ(run.kept_rain_windows, 2);
}

TEST_F(RunFixture, AllocationFailureAtStartEndsBeforeTheBanner) {
  for (int code : {3, 7, 11, 16, 17}) {
    textio::OutputBuffer con;
    textio::TextReader in;
    PluvoRun fresh(con, in);
    try {
      fresh.seam = pluvo::AllocationSeam{static_cast<pluvo::ExitCode>(code)};
      pluvo::start_up(fresh);
      FAIL() << "no failure for " << code;
    } catch (const textio::FatalError& e) {
      EXPECT_EQ(e.code, code);
      EXPECT_EQ(e.message, "Speicherbelegungsfehler ! (" + std::to_string(code) + ")\n");
      EXPECT_TRUE(e.to_stderr);
    }
    const std::string shown = con.take_captured();
    if (code <= 11) {
      EXPECT_EQ(shown, "");
    } else {
      EXPECT_EQ(shown.find("Initialisieren...\n"), shown.size() - 18) << shown;
    }
  }
}

// The stop sequence closes the files in the order ANETZ, Klima, Sammler,
// output; the first close that fails ends the run with its code, and the
// files after it are left to the process exit.
TEST(StopSequence, FirstFailedCloseEndsTheRunWithItsCode) {
  const std::string dir = ::testing::TempDir();
  const std::string names[] = {dir + "stop_anetz.txt", dir + "stop_klima.txt", dir + "stop_sammler.txt"};
  for (const std::string& name : names) {
    std::FILE* f = std::fopen(name.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("t\n", f);
    std::fclose(f);
  }
  for (int failing = 0; failing < 3; ++failing) {
    textio::OutputBuffer console;
    textio::TextReader answers;
    PluvoRun run(console, answers);
    run.anetz.last = 1;
    run.klima.first = run.klima.last = 2;
    run.sammler.first = run.sammler.last = 3;
    run.params.anetz_file_name = names[0];
    run.params.klima_file_name = names[1];
    run.params.sammler_file_name = names[2];
    run.params.output_file_name = dir + "stop_out.txt";
    textio::TextReader* files[] = {&run.anetz.file, &run.klima.file, &run.sammler.file};
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(files[i]->open(names[i]));
    ASSERT_TRUE(run.output_file.open_file(run.params.output_file_name));
    // Taken away behind the reader's back, so that its close fails.
    textio::platform_close(files[failing]->descriptor());
    try {
      pluvo::stop(run);
      FAIL() << "no failure for file " << failing;
    } catch (const textio::FatalError& e) {
      EXPECT_EQ(e.code, 201 + failing);
      EXPECT_EQ(e.message, "Fehler beim Schliessen der Datei " + names[failing] + "\n");
      EXPECT_FALSE(e.to_stderr);
    }
    EXPECT_EQ(console.take_captured(), "\n");
    for (int i = 0; i < failing; ++i) EXPECT_EQ(files[i]->descriptor(), -1) << i;  // closed before
    for (int i = failing + 1; i < 3; ++i) EXPECT_GE(files[i]->descriptor(), 0) << i;  // not attempted
    EXPECT_TRUE(run.output_file.has_file());
  }
  for (const std::string& name : names) std::remove(name.c_str());
  std::remove((dir + "stop_out.txt").c_str());
}

}  // namespace
