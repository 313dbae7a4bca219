#include "command_line.h"

#include <string>
#include <string_view>

#include "exit_codes.h"
#include "help_text.h"
#include "run_sequence.h"
#include "version.h"

namespace pluvo {
namespace {

[[noreturn]] void bad_argument(const std::string& what) {
  throw failure(BAD_ARGUMENT, {.name = "pluvo: " + what + "; see 'pluvo --help'"});
}

}  // namespace

CommandLine parse_command_line(int argc, const char* const* argv) {
  CommandLine command;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      if (command.action == CommandAction::run_dialogue) command.action = CommandAction::show_help;
    } else if (arg == "--version") {
      if (command.action == CommandAction::run_dialogue) command.action = CommandAction::show_version;
    } else if (arg.size() > 1 && arg[0] == '-') {
      bad_argument("unknown option '" + std::string(arg) + "'");
    } else {
      bad_argument("unexpected argument '" + std::string(arg) + "'");
    }
  }
  return command;
}

int run_command_line(PluvoRun& run, int argc, const char* const* argv) {
  const CommandLine command = parse_command_line(argc, argv);
  switch (command.action) {
    case CommandAction::show_help:
      run.console.put(help_text());
      return EXIT_COMPLETE;
    case CommandAction::show_version:
      run.console.put("pluvo ");
      run.console.put(textio::VERSION);
      run.console.put('\n');
      return EXIT_COMPLETE;
    case CommandAction::run_dialogue:
      break;
  }
  return run_pluvo(run);
}

}  // namespace pluvo
