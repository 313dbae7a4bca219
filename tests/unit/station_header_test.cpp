// The header of a station file: heights from line 2, coordinates and names
// from lines 3 to 5, the console report and the capacity.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "../../interpolator/exit_codes.h"
#include "fatal_error.h"
#include "run_state.h"
#include "station_header.h"

namespace {

struct HeaderFixture : ::testing::Test {
  textio::OutputBuffer console;
  textio::TextReader answers;
  pluvo::PluvoRun run{console, answers};
  pluvo::HeaderBuffers buffers;  // kept from one header to the next, as in a run
  // One file per test: ctest runs the tests as parallel processes.
  std::string path = ::testing::TempDir() + "station_header_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";

  void write(const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  void TearDown() override { std::remove(path.c_str()); }
};

TEST_F(HeaderFixture, ReadsTheWorkedExample) {
  write("any title\nYY\tMM\tDD\tHH\t556\t980\nYY\tMM\tDD\tHH\t600.5\t612.25\nYY\tMM\tDD\tHH\t200.75\t210.5\n"
        "YY\tMM\tDD\tHH\tSTA1\tSTA2\n1998 1 1 1 0.0 0.0\n");
  pluvo::StationGroup group;
  group.first = 1;
  pluvo::read_station_header(run, buffers, group, path);
  EXPECT_EQ(group.count(), 2);
  EXPECT_EQ(run.stations.height[1], 556.0);
  EXPECT_EQ(run.stations.height[2], 980.0);
  EXPECT_EQ(run.stations.x[2], 612.25);
  EXPECT_EQ(run.stations.y[1], 200.75);
  EXPECT_STREQ(run.stations.name[0].data(), "STA1");
  EXPECT_STREQ(run.stations.name[1].data(), "STA2");
  EXPECT_EQ(console.take_captured(), "Station  0, Hoehe   556.0000\nStation  1, Hoehe   980.0000\n*anzahl 2\n");
  // The file is left at its start.
  std::string line;
  ASSERT_TRUE(group.file.read_line(line));
  EXPECT_EQ(line, "any title\n");

  // A second group continues at the next index and numbers its stations from 0.
  pluvo::StationGroup second;
  second.first = 3;
  pluvo::read_station_header(run, buffers, second, path);
  EXPECT_EQ(second.count(), 2);
  EXPECT_EQ(run.stations.height[4], 980.0);
  EXPECT_EQ(console.take_captured(), "Station  0, Hoehe   556.0000\nStation  1, Hoehe   980.0000\n*anzahl 2\n");
}

TEST_F(HeaderFixture, LineTwoEdgeCases) {
  const struct {
    const char* line2;
    const char* rest;  // lines 3 to 5
    int count;
    double first_height;
  } cases[] = {
      {"YY\tMM\tDD\tHH", "a b c d\na b c d\na b c d\n", 0, 0.0},    // labels only
      {"5 x", "a b c d 1 2\na b c d 1 2\na b c d n m\n", 2, 5.0},    // shorter than the label: all words count
      {"", "a b c d 1\na b c d 1\na b c d n\n", 1, 0.0},             // empty line: one station of height 0
      {"YY MM DD HH  -1.5e2\t\t7", "a b c d 1 2\na b c d 1 2\na b c d n m\n", 2, -150.0},
  };
  for (const auto& c : cases) {
    std::string text = "title\n";
    text.append(c.line2).append("\n").append(c.rest);
    write(text);
    pluvo::StationGroup group;
    group.first = 1;
    pluvo::read_station_header(run, buffers, group, path);
    EXPECT_EQ(group.count(), c.count) << c.line2;
    if (c.count > 0) {
      EXPECT_EQ(run.stations.height[1], c.first_height) << c.line2;
    }
    console.take_captured();
  }
}

TEST_F(HeaderFixture, NumbersAreTheDecimalPrefixOfTheirWord) {
  const struct {
    const char* word;
    double value;
  } cases[] = {
      {"12.5m", 12.5}, {"-3e2", -300.0}, {"+.5", 0.5},  {"1e", 1.0},     {"2E+x", 2.0}, {"7.", 7.0},
      {"0x10", 0.0},   {"inf", 0.0},     {"NaN", 0.0},  {"-infinity", 0.0}, {"abc", 0.0}, {"-", 0.0},
      {".", 0.0},      {"1e400", HUGE_VAL},
  };
  for (const auto& c : cases) {
    std::string text = "t\nYY\tMM\tDD\tHH\t";
    text.append(c.word).append("\nYY MM DD HH ").append(c.word).append("\nYY MM DD HH ");
    text.append(c.word).append("\nYY MM DD HH n\n");
    write(text);
    pluvo::StationGroup group;
    group.first = 1;
    pluvo::read_station_header(run, buffers, group, path);
    ASSERT_EQ(group.count(), 1) << c.word;
    EXPECT_EQ(run.stations.height[1], c.value) << c.word;
    EXPECT_EQ(run.stations.x[1], c.value) << c.word;
    EXPECT_EQ(run.stations.y[1], c.value) << c.word;
    console.take_captured();
  }
}

TEST_F(HeaderFixture, LongNamesKeepSevenCharacters) {
  write("t\nYY\tMM\tDD\tHH\t1\nYY MM DD HH 2\nYY MM DD HH 3\nYY MM DD HH ABCDEFGHIJ\n");
  pluvo::StationGroup group;
  group.first = 1;
  pluvo::read_station_header(run, buffers, group, path);
  EXPECT_STREQ(run.stations.name[0].data(), "ABCDEFG");
}

TEST_F(HeaderFixture, StationsBeyondTheFirstRoomAreTaken) {
  // 60 stations already; this file declares 50, which reach index 110.
  std::string h = "t\nYY\tMM\tDD\tHH";
  std::string xs = "YY MM DD HH";
  std::string names = "YY MM DD HH";
  for (int i = 0; i < 50; ++i) {
    h.append("\t").append(std::to_string(100 + i));
    xs.append(" ").append(std::to_string(i));
    names.append(" K").append(std::to_string(i));
  }
  h.append("\n").append(xs).append("\n").append(xs).append("\n").append(names).append("\n");
  write(h);
  pluvo::StationGroup group;
  group.first = 61;
  pluvo::read_station_header(run, buffers, group, path);
  EXPECT_EQ(group.count(), 50);
  EXPECT_EQ(group.last, 110);
  EXPECT_EQ(run.stations.height[100], 139.0);
  EXPECT_EQ(run.stations.height[110], 149.0);
  EXPECT_EQ(run.stations.x[110], 49.0);
  EXPECT_EQ(run.stations.y[110], 49.0);
  EXPECT_STREQ(run.stations.name[109].data(), "K49");
  const std::string shown = console.take_captured();
  EXPECT_NE(shown.find("Station 49, Hoehe   149.0000\n*anzahl 50\n"), std::string::npos);
}

// 3000 stations make header lines of tens of kilobytes: each is read whole,
// every value lands at its station and names keep 7 characters.
TEST_F(HeaderFixture, HeaderOfThousandsOfStationsIsReadWhole) {
  constexpr int STATIONS = 3000;
  std::string h = "title\nYY\tMM\tDD\tHH";
  std::string xs = "YY\tMM\tDD\tHH";
  std::string ys = xs;
  std::string names = xs;
  for (int i = 0; i < STATIONS; ++i) {
    h.append("\t").append(std::to_string(1000 + i)).append(".25");
    xs.append("\t").append(std::to_string(400000 + i * 7));
    ys.append("\t").append(std::to_string(5200000 - i * 3));
    names.append("\tABC").append(std::to_string(i)).append("XYZ");
  }
  ASSERT_GT(h.size(), 20000u);
  h.append("\r\n").append(xs).append("\r\n").append(ys).append("\r\n").append(names).append("\r\n");
  h.append("2020 1 1 1");
  write(h);
  pluvo::StationGroup group;
  group.first = 1;
  pluvo::read_station_header(run, buffers, group, path);
  ASSERT_EQ(group.last, STATIONS);
  for (int i : {1, 2, 101, 1500, STATIONS}) {
    EXPECT_EQ(run.stations.height[i], 1000 + (i - 1) + 0.25) << i;
    EXPECT_EQ(run.stations.x[i], 400000 + (i - 1) * 7) << i;
    EXPECT_EQ(run.stations.y[i], 5200000 - (i - 1) * 3) << i;
  }
  EXPECT_STREQ(run.stations.name[0].data(), "ABC0XYZ");
  EXPECT_STREQ(run.stations.name[1499].data(), "ABC1499");
  EXPECT_STREQ(run.stations.name[STATIONS - 1].data(), "ABC2999");
  const std::string shown = console.take_captured();
  EXPECT_NE(shown.find("Station 2999, Hoehe  3999.2500\n*anzahl 3000\n"), std::string::npos);
}

TEST_F(HeaderFixture, ReadFailuresCarryTheirCodes) {
  const struct {
    const char* text;
    int code;
  } cases[] = {
      {"", 301},
      {"t\nYY\tMM\tDD\tHH\t1\t2\nYY MM DD", 301},
      {"t\nYY\tMM\tDD\tHH\t1\t2\nYY MM DD HH 1", 302},
      {"t\nYY\tMM\tDD\tHH\t1\t2\nYY MM DD HH 1 2\nYY", 303},
      {"t\nYY\tMM\tDD\tHH\t1\t2\nYY MM DD HH 1 2\nYY MM DD HH 1\n", 304},
      {"t\nYY\tMM\tDD\tHH\t1\t2\nYY MM DD HH 1 2\nYY MM DD HH 1 2\nYY MM", 305},
      {"t\nYY\tMM\tDD\tHH\t1\t2\nYY MM DD HH 1 2\nYY MM DD HH 1 2\nYY MM DD HH A\n", 306},
  };
  for (const auto& c : cases) {
    write(c.text);
    pluvo::StationGroup group;
    try {
      group.first = 1;
      pluvo::read_station_header(run, buffers, group, path);
      ADD_FAILURE() << "no failure for " << c.text;
    } catch (const textio::FatalError& e) {
      EXPECT_EQ(e.code, c.code) << c.text;
      EXPECT_EQ(e.message, "Dateilesefehler ! (" + std::to_string(c.code) + ")\n");
    }
  }
}

TEST_F(HeaderFixture, AFileEndingWithinTwoLinesTakesWhatTheHeaderBeforeLeft) {
  const std::string header = "t\nYY\tMM\tDD\tHH\t1\nYY MM DD HH 2\nYY MM DD HH 3\nYY MM DD HH A";
  const struct {
    std::string first;   // the file read before
    std::string second;  // the file that ends within its first two lines
    const char* report;  // of the second
  } cases[] = {
      // The split of line 2 empties the buffer, and no rest of line 5 refills it.
      {header, "", "*anzahl 0\n"},
      // The rest of line 5 is its line end.
      {header + "\n", "", "Station  0, Hoehe     0.0000\n*anzahl 1\n"},
      {header + "\n1998 6 1 1 0.5\n", "", "Station  0, Hoehe     0.0000\n*anzahl 1\n"},
      // A title without a second line: the title is split as the height line.
      {header, "7 8\n", "Station  0, Hoehe     7.0000\nStation  1, Hoehe     8.0000\n*anzahl 2\n"},
  };
  for (const auto& c : cases) {
    write(c.first);
    pluvo::StationGroup before;
    before.first = 1;
    pluvo::read_station_header(run, buffers, before, path);
    console.take_captured();
    write(c.second);
    pluvo::StationGroup second;
    try {
      second.first = 2;
      pluvo::read_station_header(run, buffers, second, path);
      ADD_FAILURE() << "no failure for " << c.report;
    } catch (const textio::FatalError& e) {
      EXPECT_EQ(e.code, pluvo::READ_X_LABELS);
    }
    EXPECT_EQ(console.take_captured(), c.report);
  }
}

TEST_F(HeaderFixture, MissingFileEndsWith101) {
  pluvo::StationGroup group;
  try {
    group.first = 1;
    pluvo::read_station_header(run, buffers, group, path + ".missing");
    FAIL();
  } catch (const textio::FatalError& e) {
    EXPECT_EQ(e.code, 101);
    EXPECT_EQ(e.message, "Fehler beim Oeffnen der Datei " + path + ".missing\n");
    EXPECT_FALSE(e.to_stderr);
  }
}

TEST(SubstringHelpers, BehaveAsTheHeaderReaderNeeds) {
  EXPECT_EQ(pluvo::substring_index("abc\n", "\n"), 3);
  EXPECT_EQ(pluvo::substring_index("\nabc", "\n"), 0);
  EXPECT_EQ(pluvo::substring_index("abc", "\n"), 0);
  std::string s = "YY\tMM\tDD\tHH\t5 ";
  EXPECT_EQ(pluvo::substring_in_place(s, 11, static_cast<int>(s.size()) - 12), "\t5 ");
  std::string t = "short ";
  EXPECT_EQ(pluvo::substring_in_place(t, 11, static_cast<int>(t.size()) - 12), "short ");
  std::string u = "abc\n";
  EXPECT_EQ(pluvo::substring_in_place(u, 0, 2), "abc");
}

}  // namespace
