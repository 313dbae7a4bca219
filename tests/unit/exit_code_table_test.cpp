// Each tool's table of exit codes against the texts users see and against
// the end-to-end cases: every failure of the table is raised by a case (or,
// where only a seam can raise it, by the test named below), and every case
// that ends with a failure expects the message of its code on its stream.
// A code swapped in the table or at the place that raises it therefore
// fails either here or in a case.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
// GCC 12 warns of a maybe-uninitialized std::function deep inside <regex>
// when it inlines the matcher with the sanitizers on; the warning is about
// the library's own code, so it is silenced for that header only.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <regex>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#include <sstream>
#include <string>
#include <vector>

// Both tools name their table exit_codes.h.
#include "../../aggregator/exit_codes.h"
#include "../../aggregator/run_warnings.h"
#include "../../interpolator/exit_codes.h"

namespace {

namespace fs = std::filesystem;

struct Case {
  std::string name;
  int exit = 0;
  bool stdout_captured = true;
  std::string out;  // expected standard output
  std::string err;  // expected standard error
};

std::string read_all(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<Case> load_cases(const std::string& tool) {
  std::vector<Case> cases;
  for (const auto& entry : fs::directory_iterator(fs::path(E2E_CASES_DIR) / tool)) {
    const fs::path dir = entry.path();
    if (!fs::exists(dir / "args")) continue;
    Case c;
    c.name = dir.filename().string();
    c.exit = std::stoi(read_all(dir / "expect" / "exit"));
    c.stdout_captured = !fs::exists(dir / "stdout-to");
    if (fs::exists(dir / "expect" / "stdout")) c.out = read_all(dir / "expect" / "stdout");
    if (fs::exists(dir / "expect" / "stderr")) c.err = read_all(dir / "expect" / "stderr");
    cases.push_back(c);
  }
  return cases;
}

// The text from the start of the last line (the one before a final line end).
std::string last_line(const std::string& text) {
  if (text.empty()) return {};
  const std::size_t before_end = text.find_last_of('\n', text.size() - 2);
  return before_end == std::string::npos ? text : text.substr(before_end + 1);
}

// --- pluvo -------------------------------------------------------------------

using pluvo::CODE_TABLE;
using pluvo::CodeRow;
using pluvo::Message;

// Each message as users see it, with the code where the text shows one.
std::regex pluvo_message_pattern(const CodeRow& row) {
  const std::string code = std::to_string(row.code);
  switch (row.message) {
    case Message::ALLOCATION: return std::regex("Speicherbelegungsfehler ! \\(" + code + "\\)\n");
    case Message::OPEN: return std::regex("Fehler beim Oeffnen der Datei [^\n]*\n");
    case Message::START_DATE:
      return std::regex("Datei [^\n]* enthaelt das Datum [ 0-9]{2}\\.[ 0-9]{2}\\.[ 0-9]{2,},stunde [ 0-9]{2} nicht \\(feof\\)!\n");
    case Message::TIME_MISMATCH:
      return std::regex("Zeitvergleichsfehler bei [ 0-9]{2}\\.[ 0-9]{2}\\.[ 0-9]{4,} Stunde [ 0-9]{2} !\n");
    case Message::ARGUMENT: return std::regex("pluvo: [^\n]*\n");
    case Message::CLOSE: return std::regex("Fehler beim Schliessen der Datei [^\n]*\n");
    case Message::CONSOLE_WRITE: return std::regex("Fehler beim Schreiben der Standardausgabe\n");
    case Message::READ: return std::regex("Dateilesefehler ! \\(" + code + "\\)\n");
  }
  return std::regex("^$");
}

// Codes that no end-to-end case can raise, and the test that raises each.
const std::map<int, std::string> PLUVO_RAISED_ELSEWHERE = {
    {1, "AllocationCodes.EachStorageEndsWithItsCode"},   {2, "AllocationCodes.EachStorageEndsWithItsCode"},
    {3, "AllocationCodes.EachStorageEndsWithItsCode"},   {4, "AllocationCodes.EachStorageEndsWithItsCode"},
    {5, "AllocationCodes.EachStorageEndsWithItsCode"},   {6, "AllocationCodes.EachStorageEndsWithItsCode"},
    {7, "AllocationCodes.EachStorageEndsWithItsCode"},   {8, "AllocationCodes.EachStorageEndsWithItsCode"},
    {9, "AllocationCodes.EachStorageEndsWithItsCode"},   {10, "AllocationCodes.EachStorageEndsWithItsCode"},
    {11, "AllocationCodes.EachStorageEndsWithItsCode"},  {16, "AllocationCodes.EachStorageEndsWithItsCode"},
    {17, "AllocationCodes.EachStorageEndsWithItsCode"},  {18, "AllocationCodes.EachStorageEndsWithItsCode"},
    {201, "StopSequence.FirstFailedCloseEndsTheRunWithItsCode"},
    {202, "StopSequence.FirstFailedCloseEndsTheRunWithItsCode"},
    {203, "StopSequence.FirstFailedCloseEndsTheRunWithItsCode"},
};

TEST(PluvoCodeTable, MessagesAreTheTextsUsersSee) {
  pluvo::MessageArguments a;
  a.name = "klima daten.txt";
  a.day = 1;
  a.month = 6;
  a.year = 98;
  a.hour = 1;
  const struct {
    pluvo::ExitCode code;
    const char* text;
    bool to_stderr;
  } expected[] = {
      {pluvo::ALLOC_HEADER_WORK, "Speicherbelegungsfehler ! (1)\n", true},
      {pluvo::ALLOC_IO_BUFFERS, "Speicherbelegungsfehler ! (18)\n", true},
      {pluvo::OPEN_STATION_FILE, "Fehler beim Oeffnen der Datei klima daten.txt\n", false},
      {pluvo::KLIMA_START_MISSING, "Datei klima daten.txt enthaelt das Datum  1. 6.98,stunde  1 nicht (feof)!\n", false},
      {pluvo::SAMMLER_TIME_MISMATCH, "Zeitvergleichsfehler bei  1. 6.  98 Stunde  1 !\n", false},
      {pluvo::OPEN_OUTPUT, "Fehler beim Oeffnen der Datei klima daten.txt\n", false},
      {pluvo::CLOSE_SAMMLER, "Fehler beim Schliessen der Datei klima daten.txt\n", false},
      {pluvo::CONSOLE_WRITE, "Fehler beim Schreiben der Standardausgabe\n", true},
      {pluvo::READ_KLIMA_VALUE, "Dateilesefehler ! (320)\n", true},
  };
  for (const auto& e : expected) {
    const textio::FatalError f = pluvo::failure(e.code, a);
    EXPECT_EQ(f.code, e.code);
    EXPECT_EQ(f.message, e.text);
    EXPECT_EQ(f.to_stderr, e.to_stderr) << e.code;
  }
  pluvo::MessageArguments text;
  text.name = "pluvo: unknown option '--foo'; see 'pluvo --help'";
  EXPECT_EQ(pluvo::failure(pluvo::BAD_ARGUMENT, text).message, text.name + "\n");
  EXPECT_TRUE(pluvo::failure(pluvo::BAD_ARGUMENT, text).to_stderr);
}

TEST(PluvoCodeTable, EveryRowBuildsItsOwnMessage) {
  pluvo::MessageArguments a;
  a.name = "pluvo: x";
  a.day = 31;
  a.month = 12;
  a.year = 1998;
  a.hour = 24;
  for (const CodeRow& row : CODE_TABLE) {
    const textio::FatalError f = pluvo::failure(row.code, a);
    EXPECT_EQ(f.code, row.code);
    EXPECT_EQ(f.to_stderr, row.to_stderr) << row.code;
    EXPECT_TRUE(std::regex_match(f.message, pluvo_message_pattern(row))) << row.code << ": " << f.message;
    // Codes above 255 reach a POSIX shell modulo 256; no two may look alike there.
    for (const CodeRow& other : CODE_TABLE) {
      if (&other != &row) {
        EXPECT_NE(other.code % 256, row.code % 256) << row.code << " " << other.code;
      }
    }
  }
  EXPECT_THROW(pluvo::failure(static_cast<pluvo::ExitCode>(99)), std::logic_error);
}

TEST(PluvoCodeTable, EveryCodeIsRaisedWithItsMessageOnItsStream) {
  const std::vector<Case> cases = load_cases("pluvo");
  for (const CodeRow& row : CODE_TABLE) {
    const auto elsewhere = PLUVO_RAISED_ELSEWHERE.find(row.code);
    int raising = 0;
    for (const Case& c : cases) {
      if (c.exit != row.code) continue;  // expect/exit holds the whole code
      ++raising;
      const std::string& stream = row.to_stderr ? c.err : c.out;
      const std::string& other = row.to_stderr ? c.out : c.err;
      if (!row.to_stderr && !c.stdout_captured) continue;
      EXPECT_TRUE(std::regex_match(last_line(stream), pluvo_message_pattern(row)))
          << c.name << " ends with " << row.code << " but expects \"" << last_line(stream) << "\"";
      EXPECT_FALSE(std::regex_search(other, pluvo_message_pattern(row))) << c.name << ": message on both streams";
    }
    if (elsewhere == PLUVO_RAISED_ELSEWHERE.end()) {
      EXPECT_GT(raising, 0) << "no e2e case ends with code " << row.code;
    }
  }
}

// A read failure or time mismatch in a station file is preceded on standard
// error by one line naming the file and the line; its message stays last.
TEST(PluvoCodeTable, ReadFailuresAndMismatchesSayWhereTheyHappened) {
  const std::regex place("pluvo: [^\n]+, line [0-9]+: (expected [^\n]+, found [^\n]+|searching for [^\n]+)\n");
  int checked = 0;
  for (const Case& c : load_cases("pluvo")) {
    const bool mismatch = c.exit == pluvo::KLIMA_TIME_MISMATCH || c.exit == pluvo::SAMMLER_TIME_MISMATCH;
    const bool read = c.exit >= pluvo::READ_X_LABELS && c.exit <= pluvo::READ_SAMMLER_VALUE;
    if (!mismatch && !read) continue;
    ++checked;
    std::string before = c.err;
    // The line of a failed console may follow, written after the run.
    const std::string console_line = "Fehler beim Schreiben der Standardausgabe\n";
    if (before.ends_with(console_line)) before.resize(before.size() - console_line.size());
    if (read) before.resize(before.size() - last_line(before).size());
    EXPECT_TRUE(std::regex_match(last_line(before), place)) << c.name << ": \"" << last_line(before) << "\"";
  }
  EXPECT_GT(checked, 0);
}

TEST(PluvoCodeTable, EveryFailingCaseEndsWithACodeOfTheTable) {
  for (const Case& c : load_cases("pluvo")) {
    if (c.exit == pluvo::EXIT_COMPLETE) continue;
    bool known = false;
    for (const CodeRow& row : CODE_TABLE) known = known || row.code == c.exit;
    EXPECT_TRUE(known) << c.name << " expects exit " << c.exit;
  }
}

// --- tabsum ------------------------------------------------------------------

using tabsum::Failure;
using tabsum::FAILURE_TABLE;
using tabsum::FailureRow;

const std::map<Failure, std::string> TABSUM_RAISED_ELSEWHERE = {
    {Failure::NO_MEMORY_FOR_COLUMNS, "TabsumRun.ColumnSumsThatCannotBeObtainedEndTheRun"},
    {Failure::NO_MEMORY, "AllocationFailures.TabsumEndsWithNotEnoughMemory"},
};

// The message a case expects ends its stream: before + argument + after,
// the argument without a line end.
bool ends_with_message(const std::string& stream, const FailureRow& row) {
  const std::string before = row.before;
  const std::string after = row.after;
  if (after.empty()) return stream.size() >= before.size() && stream.ends_with(before);
  if (!stream.ends_with(after)) return false;
  const std::string head = stream.substr(0, stream.size() - after.size());
  const std::size_t line_start = head.find_last_of('\n') == std::string::npos ? 0 : head.find_last_of('\n') + 1;
  return head.compare(line_start, before.size(), before) == 0 && head.size() - line_start >= before.size();
}

TEST(TabsumFailureTable, MessagesAreTheTextsUsersSee) {
  EXPECT_EQ(tabsum::failure(Failure::ERROR_OPENING, "in.txt").message, "error opening in.txt\n");
  EXPECT_EQ(tabsum::failure(Failure::NO_MEMORY_FOR_COLUMNS, "5").message, "not enough memory for 5 columns\n");
  EXPECT_EQ(tabsum::failure(Failure::SAME_FILE, "./a").message, "input and output are the same file: ./a\n");
  EXPECT_EQ(tabsum::failure(Failure::ERROR_READING, "a b").message, "error reading a b\n");
  const textio::FatalError console = tabsum::failure(Failure::ERROR_WRITING_CONSOLE);
  EXPECT_EQ(console.message, "error writing standard output\n");
  EXPECT_TRUE(console.to_stderr);
  EXPECT_EQ(console.code, 2);
  EXPECT_EQ(tabsum::failure(Failure::NO_MEMORY).code, 1);
  const textio::FatalError no_column = tabsum::failure(Failure::NO_VALUE_COLUMN, "produkt.txt");
  EXPECT_EQ(no_column.message, "no value column found in produkt.txt: fields must be separated by blanks or tabs\n");
  EXPECT_EQ(no_column.code, 1);
  EXPECT_FALSE(no_column.to_stderr);
  EXPECT_EQ(tabsum::failure(Failure::USAGE).message.rfind("usage: tabsum <in-name> <out-name>", 0), 0u);
}

TEST(TabsumFailureTable, EveryFailureIsRaisedWithItsMessageCodeAndStream) {
  const std::vector<Case> cases = load_cases("tabsum");
  for (const FailureRow& row : FAILURE_TABLE) {
    int raising = 0;
    for (const Case& c : cases) {
      const std::string& stream = row.to_stderr ? c.err : c.out;
      if (!ends_with_message(stream, row)) continue;
      if (row.failure == Failure::ERROR_WRITING_CONSOLE && c.exit != row.code) {
        // A run that failed for a reason of its own keeps that reason's code.
        EXPECT_NE(c.exit, tabsum::EXIT_COMPLETE) << c.name;
        continue;
      }
      ++raising;
      EXPECT_EQ(c.exit, row.code) << c.name << " ends with \"" << row.before << "\"";
      const std::string& other = row.to_stderr ? c.out : c.err;
      EXPECT_EQ(other.find(row.before), std::string::npos) << c.name << ": message on both streams";
    }
    if (TABSUM_RAISED_ELSEWHERE.find(row.failure) == TABSUM_RAISED_ELSEWHERE.end()) {
      EXPECT_GT(raising, 0) << "no e2e case ends with \"" << row.before << "\"";
    }
  }
}

TEST(TabsumFailureTable, EveryFailingCaseEndsWithAMessageOfItsCode) {
  for (const Case& c : load_cases("tabsum")) {
    if (c.exit == tabsum::EXIT_COMPLETE) continue;
    // Without the console, a case of a failing run sees only the line about it.
    bool known = !c.stdout_captured && ends_with_message(c.err, tabsum::failure_row(Failure::ERROR_WRITING_CONSOLE));
    for (const FailureRow& row : FAILURE_TABLE) {
      known = known || (row.code == c.exit && ends_with_message(row.to_stderr ? c.err : c.out, row));
    }
    EXPECT_TRUE(known) << c.name << " expects exit " << c.exit << " without a message of that code";
  }
}

// The warnings: standard error, one line each, "tabsum: warning: " first,
// never an exit code of their own.
tabsum::StepPlace place(std::uint64_t line, tabsum::Stamp before, tabsum::Stamp stamp) {
  tabsum::StepPlace p;
  p.row.line = line;
  p.before = before;
  p.stamp = stamp;
  return p;
}

TEST(TabsumWarnings, TextsUsersSee) {
  tabsum::StampCheck one;
  one.step = 1;
  one.out_of_step = 1;
  one.named_places = 1;
  one.places[0] = place(8356, {2016, 12, 15, 11}, {2016, 12, 15, 13});

  tabsum::StampCheck seven;
  seven.step = 24;
  seven.out_of_step = 7;
  seven.named_places = 5;
  for (int i = 0; i < 5; ++i) seven.places[i] = place(10 + i, {2017, 4, 30, 24}, {2017, 4, 31, 24});
  seven.places[4].row.line = 0;  // not found again

  tabsum::StampCheck no_step;
  no_step.no_step = true;
  no_step.first_row.line = 2;
  no_step.places[0] = place(3, {2017, 4, 1, 1}, {2017, 4, 1, 1});

  tabsum::StampCheck totals;
  totals.totals_rows = 1;
  totals.named_totals_rows = 1;
  totals.totals_row_places[0].line = 186;

  tabsum::StampCheck many_totals;
  many_totals.totals_rows = 6;
  many_totals.named_totals_rows = 5;
  for (int i = 0; i < 5; ++i) many_totals.totals_row_places[i].line = 3 + i;

  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {tabsum::step_warning(one),
       "tabsum: warning: 1 row out of step in time (the table's step is 1 hour): line 8356 (2016 12 15 13 after "
       "2016 12 15 11); groups are counted in rows, so the groups behind this place are shifted\n"},
      {tabsum::step_warning(seven),
       "tabsum: warning: 7 rows out of step in time (the table's step is 24 hours): line 10 (2017 4 31 24 after "
       "2017 4 30 24), line 11 (2017 4 31 24 after 2017 4 30 24), line 12 (2017 4 31 24 after 2017 4 30 24), line 13 "
       "(2017 4 31 24 after 2017 4 30 24), line ? (2017 4 31 24 after 2017 4 30 24) and 2 more; groups are counted "
       "in rows, so the groups behind these places are shifted\n"},
      {tabsum::step_warning(no_step),
       "tabsum: warning: lines 2 and 3 (2017 4 1 1 then 2017 4 1 1) give the table no step forward in time, so its "
       "stamps are not checked\n"},
      {tabsum::step_warning(tabsum::StampCheck{}), ""},
      {tabsum::totals_row_warnings(totals),
       "tabsum: warning: line 186 is stamped 0 0 0 0: the totals row of a tabsum table, summed as data\n"},
      {tabsum::totals_row_warnings(many_totals),
       "tabsum: warning: line 3 is stamped 0 0 0 0: the totals row of a tabsum table, summed as data\n"
       "tabsum: warning: line 4 is stamped 0 0 0 0: the totals row of a tabsum table, summed as data\n"
       "tabsum: warning: line 5 is stamped 0 0 0 0: the totals row of a tabsum table, summed as data\n"
       "tabsum: warning: line 6 is stamped 0 0 0 0: the totals row of a tabsum table, summed as data\n"
       "tabsum: warning: line 7 is stamped 0 0 0 0: the totals row of a tabsum table, summed as data\n"
       "tabsum: warning: 6 rows stamped 0 0 0 0 in all, each summed as data\n"},
      {tabsum::shrunk_input_warning("in.txt", 2000, 1200),
       "tabsum: warning: in.txt shrank while it was read: 2000 bytes when it was opened, 1200 read to its end\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, c.expected);
}

// Every line of standard error in a tabsum case is a warning or the one
// failure that goes there.
TEST(TabsumWarnings, EveryStandardErrorLineOfACaseIsAWarningOrItsFailure) {
  const std::string console_failure = tabsum::failure_row(Failure::ERROR_WRITING_CONSOLE).before;
  for (const Case& c : load_cases("tabsum")) {
    std::istringstream lines(c.err);
    std::string line;
    while (std::getline(lines, line)) {
      EXPECT_TRUE(line.rfind("tabsum: warning: ", 0) == 0 || line + "\n" == console_failure) << c.name << ": " << line;
    }
  }
}

}  // namespace
