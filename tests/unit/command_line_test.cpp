// What the command lines of both tools ask for besides a run: help,
// version, and arguments pluvo cannot use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aggregator/command_line.h"
#include "aggregator/exit_codes.h"
#include "aggregator/help_text.h"
#include "fatal_error.h"
#include "interpolator/command_line.h"
#include "interpolator/exit_codes.h"
#include "interpolator/help_text.h"
#include "tabsum_run.h"
#include "version.h"

namespace {

struct Argv {
  explicit Argv(std::vector<std::string> args) : words(std::move(args)) {
    for (const std::string& w : words) pointers.push_back(w.c_str());
  }
  int argc() const { return static_cast<int>(pointers.size()); }
  const char* const* argv() const { return pointers.data(); }
  std::vector<std::string> words;
  std::vector<const char*> pointers;
};

TEST(TabsumInfoRequest, OnlyTheSoleArgumentAsksForHelpOrVersion) {
  using tabsum::InfoRequest;
  const struct {
    std::vector<std::string> args;
    InfoRequest request;
  } cases[] = {
      {{"tabsum", "--help"}, InfoRequest::help},
      {{"tabsum", "-h"}, InfoRequest::help},
      {{"tabsum", "--version"}, InfoRequest::version},
      {{"tabsum"}, InfoRequest::none},
      {{"tabsum", "--help", "out.txt"}, InfoRequest::none},
      {{"tabsum", "--version", "out.txt", "24"}, InfoRequest::none},
      {{"tabsum", "-help"}, InfoRequest::none},
      {{"tabsum", "--Version"}, InfoRequest::none},
      {{"tabsum", "in.txt"}, InfoRequest::none},
  };
  for (const auto& c : cases) {
    const Argv a(c.args);
    EXPECT_EQ(tabsum::info_request(a.argc(), a.argv()), c.request) << c.args.size() << " " << c.args.back();
  }
}

TEST(TabsumInfoRequest, HelpIsPrintedWithoutBannerAndExitsZero) {
  for (const char* option : {"--help", "-h"}) {
    textio::OutputBuffer console(nullptr);
    tabsum::TabsumRun run(console);
    const Argv a({"tabsum", option});
    EXPECT_EQ(tabsum::run_tabsum(run, a.argc(), a.argv()), 0);
    EXPECT_EQ(console.take_captured(), tabsum::help_text()) << option;
  }
}

TEST(TabsumHelp, NamesVersionUsageAndManual) {
  const std::string help = tabsum::help_text();
  EXPECT_EQ(help.rfind(std::string("tabsum ") + textio::VERSION + ": ", 0), 0u);
  // The usage line is the one a short command line prints, without its blank line.
  std::string usage = tabsum::failure_row(tabsum::Failure::USAGE).before;
  usage.pop_back();
  EXPECT_NE(help.find(usage), std::string::npos);
  // And the one of the calendar mode, without its "usage: ".
  std::string by_period = tabsum::failure_row(tabsum::Failure::PERIOD_USAGE).before;
  by_period.pop_back();
  EXPECT_NE(help.find("       " + by_period.substr(7)), std::string::npos);
  EXPECT_NE(help.find("man tabsum"), std::string::npos);
}

TEST(PluvoCommandLine, HelpVersionOrDialogue) {
  using pluvo::CommandAction;
  const struct {
    std::vector<std::string> args;
    CommandAction action;
  } cases[] = {
      {{"pluvo"}, CommandAction::run},
      {{"pluvo", "answers.txt", "--help"}, CommandAction::show_help},
      {{"pluvo", "--help"}, CommandAction::show_help},
      {{"pluvo", "-h"}, CommandAction::show_help},
      {{"pluvo", "--version"}, CommandAction::show_version},
      {{"pluvo", "--version", "--help"}, CommandAction::show_version},  // the first one asked for
      {{"pluvo", "-h", "--version"}, CommandAction::show_help},
  };
  for (const auto& c : cases) {
    const Argv a(c.args);
    EXPECT_EQ(pluvo::parse_command_line(a.argc(), a.argv()).action, c.action) << c.args.back();
  }
}

TEST(PluvoCommandLine, HelpAndVersionAreAnsweredWithoutARun) {
  const struct {
    std::vector<std::string> args;
    std::string shown;
  } cases[] = {
      {{"pluvo", "--help"}, pluvo::help_text()},
      {{"pluvo", "-h"}, pluvo::help_text()},
      {{"pluvo", "--version"}, std::string("pluvo ") + textio::VERSION + "\n"},
  };
  for (const auto& c : cases) {
    textio::OutputBuffer console(nullptr);
    textio::TextReader answers;  // attached to nothing: no answer is read
    pluvo::PluvoRun run(console, answers);
    const Argv a(c.args);
    EXPECT_EQ(pluvo::run_command_line(run, a.argc(), a.argv()), 0) << c.args.back();
    EXPECT_EQ(console.take_captured(), c.shown) << c.args.back();
  }
}

TEST(PluvoCommandLine, AnArgumentItCannotUseIsOneLineOnStandardError) {
  // Checked before the help or the version is shown, and before any file
  // is opened or anything written.
  const struct {
    std::vector<std::string> args;
    const char* line;
  } cases[] = {
      {{"pluvo", "--foo"}, "pluvo: unknown option '--foo'; see 'pluvo --help'\n"},
      {{"pluvo", "-v"}, "pluvo: unknown option '-v'; see 'pluvo --help'\n"},
      {{"pluvo", "--help", "--hlep"}, "pluvo: unknown option '--hlep'; see 'pluvo --help'\n"},
      {{"pluvo", "--version", "a.txt", "b.txt"}, "pluvo: unexpected argument 'b.txt'; see 'pluvo --help'\n"},
      {{"pluvo", "no-such-folder/answers.txt"},
       "pluvo: answers file 'no-such-folder/answers.txt': cannot be opened for reading\n"},
      {{"pluvo", ""}, "pluvo: answers file '': cannot be opened for reading\n"},
  };
  for (const auto& c : cases) {
    textio::OutputBuffer console(nullptr);
    textio::TextReader answers;
    pluvo::PluvoRun run(console, answers);
    const Argv a(c.args);
    try {
      pluvo::run_command_line(run, a.argc(), a.argv());
      ADD_FAILURE() << "accepted " << c.args.back();
    } catch (const textio::FatalError& failure) {
      EXPECT_EQ(failure.code, pluvo::BAD_ARGUMENT);
      EXPECT_TRUE(failure.to_stderr);
      EXPECT_EQ(failure.message, c.line);
    }
    EXPECT_EQ(console.take_captured(), "") << c.args.back();
  }
}

TEST(PluvoHelp, NamesVersionExitCodesAndManual) {
  const std::string help = pluvo::help_text();
  EXPECT_EQ(help.rfind(std::string("pluvo ") + textio::VERSION + ": ", 0), 0u);
  for (const char* code : {"1-11, 16-18", "101-107", "108", "201-204", "205", "301-322"}) {
    EXPECT_NE(help.find(code), std::string::npos) << code;
  }
  EXPECT_NE(help.find("man pluvo"), std::string::npos);
}

}  // namespace
