// Reads of pluvo's station files that fail: a failed system read ends the
// run with the code of the step that was reading, and a station file that
// cannot seek returns to its start only within the bytes it kept.
#include <gtest/gtest.h>

#include <string>

#include "../../interpolator/exit_codes.h"
#include "fatal_error.h"
#include "hour_ring.h"
#include "record_reader.h"
#include "run_sequence.h"
#include "run_state.h"

namespace {

using pluvo::DateHour;
constexpr int STAMP = pluvo::READ_ANETZ_STAMP;
constexpr int VALUE = pluvo::READ_ANETZ_VALUE;

// The code a call ends the run with; 0 when it returns.
template <class Call>
int exit_code_of(Call&& call) {
  try {
    call();
  } catch (const textio::FatalError& e) {
    EXPECT_EQ(e.message, "Dateilesefehler ! (" + std::to_string(e.code) + ")\n");
    EXPECT_TRUE(e.to_stderr);
    return e.code;
  }
  return 0;
}

TEST(RecordReads, AFailedReadEndsTheRunWithTheCodeOfTheField) {
  const std::string record = "1998 6 1 7 12.5 3.0\n1998";
  const struct {
    std::size_t fail_after;  // bytes delivered before every read fails
    bool skip;
    int code;
  } cases[] = {
      {0, true, STAMP},    // nothing read: the stamp
      {6, true, STAMP},    // within the stamp
      {10, true, STAMP},   // right behind the hour, which still converts
      {13, true, VALUE},   // within the first value
      {19, true, VALUE},   // right behind the last value
      {20, true, VALUE},   // the skip behind the record meets it
      {20, false, 0},   // without the skip the record is complete
      {21, true, 0},    // behind the skip: the next record will meet it
  };
  for (const auto& c : cases) {
    for (std::size_t chunk : {std::size_t{1}, std::size_t{64}}) {
      textio::TextReader stream;
      stream.attach_unseekable_text(record, chunk, c.fail_after);
      DateHour stamp{};
      double values[3] = {};
      const pluvo::RecordTarget target{&stamp, values, 1, 2};
      EXPECT_EQ(exit_code_of([&] { pluvo::read_record(stream, target, 1.0, {pluvo::READ_ANETZ_STAMP, pluvo::READ_ANETZ_VALUE}, c.skip); }), c.code)
          << "failure after " << c.fail_after << " bytes, chunks of " << chunk;
      if (c.code == 0) {
        EXPECT_EQ(values[2], 3.0);
      }
    }
  }
}

struct SyncFixture : ::testing::Test {
  textio::OutputBuffer console;
  textio::TextReader answers;
  pluvo::PluvoRun run{console, answers};

  void SetUp() override {
    pluvo::obtain_ring(run);
    run.params.nodata = 998.0;
    run.params.start_day = 1;
    run.params.start_month = 6;
    run.params.start_year = 1998;
    run.params.start_hour = 1;
    run.anetz.last = 1;
    pluvo::place_behind(run.klima, run.anetz);
    pluvo::place_behind(run.sammler, run.klima);
    run.total_stations = 1;
  }
};

std::string anetz_text() {
  // Lines 3 to 5 all on line 3: the header read ends within line 3.
  std::string s = "t\nYY\tMM\tDD\tHH\t1\nYY MM DD HH 2 YY MM DD HH 3 YY MM DD HH A\nx\ny\n";
  for (int day = 1; day <= 2; ++day) {
    for (int hour = 1; hour <= 24; ++hour) {
      s += "1998 6 " + std::to_string(day) + " " + std::to_string(hour) + " 0.5\n";
    }
  }
  return s;
}

TEST_F(SyncFixture, AReturnAfterTheKeptStartEndsTheSearch) {
  // Reads of 20 bytes: the header read keeps only the first three lines,
  // and the file has been read beyond them since.
  run.anetz.file.attach_unseekable_text(anetz_text(), 20);
  std::string line;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(run.anetz.file.read_line(line));
  ASSERT_TRUE(run.anetz.file.rewind());
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(run.anetz.file.read_line(line));
  EXPECT_EQ(exit_code_of([&] { pluvo::start_synchronisation(run); }), pluvo::READ_ANETZ_SEARCH_STAMP);
}

TEST_F(SyncFixture, AStartKeptWholeIsSearchedAsAFileWould) {
  run.anetz.file.attach_unseekable_text(anetz_text(), 4096);
  std::string line;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(run.anetz.file.read_line(line));
  ASSERT_TRUE(run.anetz.file.rewind());
  EXPECT_EQ(exit_code_of([&] { pluvo::start_synchronisation(run); }), 0);
  EXPECT_EQ(run.ring[1].stamp->hour, 7);
  EXPECT_EQ(run.ring[24].stamp->day, 2);
  EXPECT_EQ(run.ring[24].stamp->hour, 6);
}

// The header lines are skipped once, after the one return to the start: a
// file that cannot seek and kept less than the five lines (the header's
// words end within line 3) gives the rows and the ring a file gives.
TEST_F(SyncFixture, AStartKeptInPartIsSearchedAsAFileWould) {
  const auto synchronised = [&](bool seekable) {
    textio::OutputBuffer& out = run.output_file;
    out.take_captured();
    for (int k = 0; k < pluvo::RING_SLOTS; ++k) *run.ring[k].stamp = pluvo::MISSING_DATE_HOUR;
    if (seekable) {
      run.anetz.file.attach_text(anetz_text());
    } else {
      run.anetz.file.attach_unseekable_text(anetz_text(), 20);
    }
    std::string line;
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(run.anetz.file.read_line(line));
    EXPECT_TRUE(run.anetz.file.rewind());
    EXPECT_EQ(exit_code_of([&] { pluvo::start_synchronisation(run); }), 0);
    std::string seen = out.take_captured();
    for (int k = 1; k <= 24; ++k) {
      const DateHour& s = *run.ring[k].stamp;
      seen += std::to_string(s.day) + "." + std::to_string(s.hour) + "=" + std::to_string(run.ring[k].values[1]) + " ";
    }
    return seen;
  };
  const std::string from_file = synchronised(true);
  EXPECT_EQ(from_file.substr(0, from_file.find('\n') + 1), "98\t6\t1\t1\t0.5\n");  // the row of hour 1
  EXPECT_EQ(synchronised(false), from_file);
}

TEST_F(SyncFixture, AFailedReadOfTheHeaderSkipEndsWithTheSearchCode) {
  const struct {
    bool klima;
    int code;
  } cases[] = {{false, pluvo::READ_ANETZ_SEARCH_STAMP}, {true, pluvo::READ_KLIMA_FIRST_STAMP}};
  for (const auto& c : cases) {
    // The first 30 bytes were read for the header; the skip needs more.
    textio::TextReader& file = c.klima ? run.klima.file : run.anetz.file;
    run.anetz.file.attach_text(anetz_text());
    file.attach_unseekable_text(anetz_text(), 30, 30);
    std::string line;
    ASSERT_TRUE(file.read_line(line));
    ASSERT_TRUE(file.rewind());
    run.klima.last = run.klima.first + (c.klima ? 1 : 0) - 1;
    run.total_stations = run.klima.last;
    EXPECT_EQ(exit_code_of([&] { pluvo::start_synchronisation(run); }), c.code) << (c.klima ? "Klima" : "ANETZ");
  }
}

}  // namespace
