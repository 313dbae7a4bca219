// What pluvo writes on standard error without stopping, and the line that
// says where a failure happened: one table of situations, each with the
// exact lines it gives. The text of every new line stands here once.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "answer_warnings.h"
#include "failure_place.h"
#include "fatal_error.h"
#include "hour_ring.h"
#include "parameter_dialogue.h"
#include "record_reader.h"
#include "run_notes.h"
#include "run_state.h"

namespace {

using pluvo::PluvoRun;

struct WarningCase {
  const char* what;
  std::function<void(PluvoRun&)> act;
  const char* lines;
};

// Two ANETZ stations at (0, 0) and (10, 0); one Klima station and one
// Sammler station, placed by each case.
void two_sources_one_klima_one_sammler(PluvoRun& run) {
  run.anetz.first = 1;
  run.anetz.last = 2;
  pluvo::place_behind(run.klima, run.anetz);
  run.klima.last = 3;
  pluvo::place_behind(run.sammler, run.klima);
  run.sammler.last = 4;
  run.total_stations = 4;
  run.stations.x = {0.0, 0.0, 10.0, 5.0, 5.0};
  run.stations.y = {0.0, 0.0, 0.0, 0.0, 0.0};
  const char* names[] = {"A1", "A2", "K1", "S1"};
  for (int i = 0; i < 4; ++i) std::snprintf(run.stations.name[i].data(), pluvo::NAME_CELL, "%s", names[i]);
  run.params.klima_file_name = "klima.txt";
  run.params.sammler_file_name = "sammler.txt";
  run.params.anetz_file_name = "anetz.txt";
  run.params.power = 2.0;
  run.params.max_distance = 20.0;
}

void dialogue(PluvoRun& run, const std::string& answers) {
  run.dialogue.count_lines();
  run.dialogue.attach_text(answers);
  pluvo::run_parameter_dialogue(run);
}

std::string answers_with(const std::string& power, const std::string& distance) {
  return "a.txt\n\n\no.txt\n998\n1\n6\n1998\n1\n6\n1998\n" + power + "\n" + distance + "\n0\n0\n500\n500\n";
}

const WarningCase CASES[] = {
    {"the first record stamped hour 0, with its line and stamp as written",
     [](PluvoRun& run) {
       run.params.anetz_file_name = "anetz.txt";
       run.anetz.file.count_lines();
       run.anetz.file.attach_text("\n\n17 6 1 24 1.0\n17 6 2\t0 2.0\n17 6 2 0 3.0\n");
       pluvo::DateHour stamp{};
       double values[2] = {0.0, 0.0};
       for (int k = 0; k < 3; ++k) {
         pluvo::read_record(run.anetz.file, {&stamp, values, 1, 1}, 1.0,
                            {pluvo::READ_ANETZ_STAMP, pluvo::READ_ANETZ_VALUE}, true, &run.anetz.hour_zero);
       }
       pluvo::write_kept_notes(run, false);
     },
     "pluvo: warning: anetz.txt, line 4: record stamped 17 6 2 0; pluvo's hours run from 1 to 24, hour 24 "
     "ending the day, so hour 0 of a day is hour 24 of the day before\n"},
    {"a station no source reaches",
     [](PluvoRun& run) {
       two_sources_one_klima_one_sammler(run);
       run.stations.x[4] = 200.5;
       pluvo::write_kept_notes(run, true);
     },
     "pluvo: warning: Sammler station S1 at x 200.5, y 0 has no ANETZ station within the maximum distance 20; it "
     "gets no interpolated rain\n"},
    {"a source at exactly the maximum distance reaches",
     [](PluvoRun& run) {
       two_sources_one_klima_one_sammler(run);
       run.stations.x[4] = 30.0;
       pluvo::write_kept_notes(run, true);
     },
     ""},
    {"windows whose measured rain found no interpolated rain",
     [](PluvoRun& run) {
       two_sources_one_klima_one_sammler(run);
       run.notes.unmatched_windows = 2;
       run.notes.unmatched_rain = 12.5;
       pluvo::write_kept_notes(run, true);
     },
     "pluvo: warning: reading windows with measured rain but no interpolated rain: 2, with 12.5 of rain lost "
     "(--keep-unmatched-rain keeps it)\n"},
    {"the same windows filled by the option",
     [](PluvoRun& run) {
       two_sources_one_klima_one_sammler(run);
       run.keep_unmatched_rain = true;
       run.notes.unmatched_windows = 1;
       run.notes.unmatched_rain = 3.0;
       pluvo::write_kept_notes(run, true);
     },
     "pluvo: warning: reading windows with measured rain but no interpolated rain: 1, filled by "
     "--keep-unmatched-rain with 3 of rain\n"},
    {"a power whose weights all underflow",
     [](PluvoRun& run) {
       two_sources_one_klima_one_sammler(run);
       run.params.power = 1e308;
       pluvo::write_kept_notes(run, true);
     },
     "pluvo: warning: power 1e+308 is too large for the distances: the weights of the sources of K1 underflow to "
     "0 (2 stations so), and its interpolated hours are lost\n"},
    {"a power whose weights overflow at distances below 1",
     [](PluvoRun& run) {
       two_sources_one_klima_one_sammler(run);
       run.stations.x = {0.0, 0.0, 0.5, 0.25, 0.0};  // S1 on A1: its own value
       run.params.power = 3000.0;
       pluvo::write_kept_notes(run, true);
     },
     "pluvo: warning: power 3000 is too large for the distances: the weights of the sources of K1 overflow (1 "
     "station so), and its interpolated hours are lost\n"},
    {"a decimal comma in an answer",
     [](PluvoRun& run) { dialogue(run, answers_with("2,0", "30")); },
     "pluvo: warning: line 12, answer to \"weighting of the inverse distance (power)\": 2 is taken and \",0\" is "
     "read as the next answer\n"
     "pluvo: warning: line 12, answer to \"maximum distance of e station to the interpolation cell\": \",0\" is not "
     "a number: nothing is taken, and this and every later number keep their values from before the dialogue\n"},
    {"a unit behind a number",
     [](PluvoRun& run) { dialogue(run, answers_with("2", "100 km")); },
     "pluvo: warning: line 13, answer to \"maximum distance of e station to the interpolation cell\": 100 is "
     "taken and \"km\" is read as the next answer\n"
     "pluvo: warning: line 13, answer to \"lower limit of values\": \"km\" is not a number: nothing is taken, and "
     "this and every later number keep their values from before the dialogue\n"},
    {"a date field that is not a whole number",
     [](PluvoRun& run) {
       dialogue(run, "a.txt\n\n\no.txt\n998\n1.5\n");
     },
     "pluvo: warning: line 6, answer to \"starting day\": 1 is taken and \".5\" is read as the next answer\n"
     "pluvo: warning: line 6, answer to \"staring month\": \".5\" is not a number: nothing is taken, and this and "
     "every later number keep their values from before the dialogue\n"},
    {"several numbers on one line, and the end of the answers, are no mistake",
     [](PluvoRun& run) { dialogue(run, "a.txt\n\n\no.txt\n998\n1 6 1998\n2 6 1998\n2.5 30\n"); },
     ""},
    {"dialogue values the options refuse",
     [](PluvoRun& run) { dialogue(run, "a.txt\n\n\no.txt\n-1\n1\n6\n1998\n1\n6\n1998\n2\n-60000\n"); },
     "pluvo: warning: maximum distance -60000 is negative: its sign is dropped and 60000 is used\n"
     "pluvo: warning: nodata value -1 is not above 0: values up to 1 count as missing, and missing hours are "
     "written as 0\n"},
    {"where a value did not convert",
     [](PluvoRun& run) {
       two_sources_one_klima_one_sammler(run);
       run.anetz.file.count_lines();
       run.anetz.file.attach_text("1998 6 1 1 0.0 0.0\n1998 6 1 2 0.0 x1\n");
       pluvo::DateHour stamp{};
       double values[3] = {};
       pluvo::read_record(run.anetz.file, {&stamp, values, 1, 2}, 1.0,
                          {pluvo::READ_ANETZ_STAMP, pluvo::READ_ANETZ_VALUE}, true);
       try {
         pluvo::read_record(run.anetz.file, {&stamp, values, 1, 2}, 1.0,
                            {pluvo::READ_ANETZ_STAMP, pluvo::READ_ANETZ_VALUE}, true);
       } catch (const textio::FatalError& f) {
         pluvo::note_read_failure(run, f.code);
       }
       pluvo::write_kept_notes(run, false);
     },
     "pluvo: anetz.txt, line 2: expected the values of a record (2 stations), found 'x1'\n"},
    {"the start searched to the end of the hourly file",
     [](PluvoRun& run) {
       two_sources_one_klima_one_sammler(run);
       run.params.start_day = 1;
       run.params.start_month = 11;
       run.params.start_year = 1916;
       run.params.start_hour = 1;
       run.notes.anetz_first_read = true;
       run.notes.anetz_first[0] = 1;   // day
       run.notes.anetz_first[1] = 1;   // hour
       run.notes.anetz_first[2] = 11;  // month
       run.notes.anetz_first[3] = 2016;
       run.last_anetz_stamp = {.day = 30, .hour = 24, .month = 11, .year = 2016};
       run.anetz.file.count_lines();
       run.anetz.file.attach_text("2016 11 30 24 0.0 0.0\n");
       pluvo::DateHour stamp{};
       double values[3] = {};
       pluvo::read_record(run.anetz.file, {&stamp, values, 1, 2}, 1.0,
                          {pluvo::READ_ANETZ_SEARCH_STAMP, pluvo::READ_ANETZ_SEARCH_VALUE}, false);
       int scanned = 0;
       EXPECT_NE(run.anetz.file.scan_int(scanned), textio::SCAN_OK);
       pluvo::note_read_failure(run, pluvo::READ_ANETZ_SEARCH_STAMP);
       pluvo::write_kept_notes(run, false);
     },
     "pluvo: anetz.txt, line 2: searching for 1.11.1916 hour 1, found the end of the file; its records run from "
     "1.11.2016 hour 1 to 30.11.2016 hour 24\n"},
    {"a record that is not the hour of the hourly data",
     [](PluvoRun& run) {
       two_sources_one_klima_one_sammler(run);
       pluvo::note_time_mismatch(run, run.sammler, 9, {.day = 2, .hour = 7, .month = 11, .year = 2016},
                                 {.day = 1, .hour = 19, .month = 11, .year = 2016});
       pluvo::write_kept_notes(run, false);
     },
     "pluvo: sammler.txt, line 9: expected the record of 2.11.2016 hour 7, the hour of the hourly data, found "
     "1.11.2016 hour 19\n"},
};

std::string read_back(std::FILE* f) {
  std::rewind(f);
  std::string text;
  for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f)) text += static_cast<char>(c);
  return text;
}

TEST(RunWarnings, EachSituationGivesItsLinesOnStandardError) {
  for (const WarningCase& c : CASES) {
    textio::OutputBuffer console(nullptr);
    textio::TextReader answers;
    PluvoRun run(console, answers);
    pluvo::obtain_ring(run);
    // A named file: tmpfile() may not be allowed to create its file on Windows.
    const std::string name =
        (std::filesystem::temp_directory_path() / ("pluvo_run_warnings_" + std::to_string(&c - CASES))).string();
    std::FILE* err = std::fopen(name.c_str(), "w+b");
    ASSERT_NE(err, nullptr);
    run.notes.stream = err;
    c.act(run);
    EXPECT_EQ(read_back(err), c.lines) << c.what;
    std::fclose(err);
    std::remove(name.c_str());
  }
}

TEST(RunWarnings, PromptNamesLeaveColonsAndExamplesOut) {
  EXPECT_EQ(pluvo::prompt_name(" nodata value (e.g. 998: all values <-998 or > 998 will be interpreted as nodata "
                               "values)\n"),
            "nodata value");
  EXPECT_EQ(pluvo::prompt_name("staring year   : "), "staring year");
  EXPECT_EQ(pluvo::prompt_name("values below replacing with...: "), "values below replacing with...");
}

}  // namespace
