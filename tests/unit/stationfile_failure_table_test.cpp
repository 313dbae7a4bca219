// stationfile's table of failures against its end-to-end cases: every
// failure is raised by a case, with its message as the last line of
// standard error and its exit code, and every failing case ends with a
// message of its code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "importer/exit_codes.h"

namespace stationfile {
namespace {

namespace fs = std::filesystem;

struct Case {
  std::string name;
  int exit = 0;
  std::string err;
};

std::string read_all(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<Case> load_cases() {
  std::vector<Case> cases;
  for (const auto& entry : fs::directory_iterator(fs::path(E2E_CASES_DIR) / "stationfile")) {
    const fs::path dir = entry.path();
    if (!fs::exists(dir / "args")) continue;
    Case c;
    c.name = dir.filename().string();
    c.exit = std::stoi(read_all(dir / "expect" / "exit"));
    if (fs::exists(dir / "expect" / "stderr")) c.err = read_all(dir / "expect" / "stderr");
    cases.push_back(c);
  }
  return cases;
}

// Only std::bad_alloc raises it; no case can make the memory run out.
const std::map<Failure, std::string> RAISED_ELSEWHERE = {
    {Failure::NO_MEMORY, "none: a std::bad_alloc of the run"},
};

// The last line (or, for USAGE, the last two) of standard error is the
// row's message: before + argument + after.
bool ends_with_message(const std::string& err, const FailureRow& row) {
  const std::string after = row.after;
  if (!err.ends_with(after)) return false;
  const std::string head = err.substr(0, err.size() - after.size());
  const std::size_t newline = head.find_last_of('\n');
  const std::size_t line_start = newline == std::string::npos ? 0 : newline + 1;
  return head.compare(line_start, std::string(row.before).size(), row.before) == 0;
}

TEST(StationfileFailureTable, MessagesAreTheTextsUsersSee) {
  EXPECT_EQ(failure(Failure::ERROR_OPENING, "a.txt").message, "stationfile: error opening a.txt\n");
  EXPECT_EQ(failure(Failure::NO_MEMORY).message, "stationfile: not enough memory\n");
  EXPECT_TRUE(failure(Failure::USAGE, "x").to_stderr);
  EXPECT_EQ(failure(Failure::PERIOD_OUTSIDE).code, EXIT_MISTAKE);
  EXPECT_EQ(failure(Failure::ERROR_WRITING).code, EXIT_FILE_ERROR);
}

TEST(StationfileFailureTable, EveryFailureIsRaisedByACase) {
  const std::vector<Case> cases = load_cases();
  for (const FailureRow& row : FAILURE_TABLE) {
    int raising = 0;
    for (const Case& c : cases) {
      if (c.exit == EXIT_COMPLETE || !ends_with_message(c.err, row)) continue;
      ++raising;
      EXPECT_EQ(c.exit, row.code) << c.name << " ends with \"" << row.before << "\"";
    }
    if (!RAISED_ELSEWHERE.contains(row.failure)) {
      EXPECT_GT(raising, 0) << "no e2e case ends with \"" << row.before << "\"";
    }
  }
}

TEST(StationfileFailureTable, EveryFailingCaseEndsWithAMessageOfItsCode) {
  for (const Case& c : load_cases()) {
    if (c.exit == EXIT_COMPLETE) continue;
    bool known = false;
    for (const FailureRow& row : FAILURE_TABLE) known = known || (row.code == c.exit && ends_with_message(c.err, row));
    EXPECT_TRUE(known) << c.name << " expects exit " << c.exit << " without a message of that code";
  }
}

}  // namespace
}  // namespace stationfile
