#include "command_line.h"

#include <string>

#include "batch_options.h"
#include "exit_codes.h"
#include "fatal_errors.h"
#include "help_text.h"
#include "platform_io.h"
#include "run_sequence.h"
#include "version.h"

namespace pluvo {

CommandLine parse_command_line(int argc, const char* const* argv) {
  CommandLine command;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      if (command.action == CommandAction::run) command.action = CommandAction::show_help;
    } else if (arg == "--version") {
      if (command.action == CommandAction::run) command.action = CommandAction::show_version;
    } else {
      command.run_arguments.push_back(arg);
    }
  }
  return command;
}

int run_command_line(PluvoRun& run, int argc, const char* const* argv) {
  const CommandLine command = parse_command_line(argc, argv);
  BatchSettings settings;
  std::string refusal;
  if (!parse_batch_arguments(command.run_arguments, settings, refusal)) fatal_argument_error(refusal);
  switch (command.action) {
    case CommandAction::show_help:
      run.console.put(help_text());
      return EXIT_COMPLETE;
    case CommandAction::show_version:
      run.console.put("pluvo ");
      run.console.put(textio::VERSION);
      run.console.put('\n');
      return EXIT_COMPLETE;
    case CommandAction::run:
      break;
  }
  set_up_run(run, settings, textio::is_terminal(stdin));
  return run_pluvo(run);
}

}  // namespace pluvo
