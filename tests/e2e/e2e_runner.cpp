// Runs one end-to-end case against a tool binary and compares what it did.
//
//   e2e_runner [--timeout SECONDS] [--keep] [--read-error-shim PATH] [--target posix|windows]
//              [--emulator PROGRAM]... [--launcher PATH] --tool PATH CASE_DIR
//
// A case directory holds:
//   args            the arguments, one per line (an empty file: no arguments)
//   stdin           optional; fed to standard input (else /dev/null)
//   stdin-from      optional; names a file of the working directory (one
//                   copied from in/) that is fed to standard input instead
//   stdin-pipe      optional, empty; standard input comes through a pipe
//   in/             optional; copied into a fresh working directory
//   fifo            optional; names of files in in/, one per line, that the
//                   tool finds as FIFOs, fed with the files' bytes
//   timeout         optional; seconds after which the tool is killed, for a
//                   case that must end quickly (else 60 or --timeout)
//   read-error      optional; "NAME OFFSET": reads of the file NAME fail
//                   with EIO once OFFSET bytes of it have been read (needs
//                   --read-error-shim; without it the case is skipped)
//   hardlinks       optional; lines "NAME EXISTING": hard links made in the
//                   working directory after in/ was copied
//   windows-skip    optional; the reason why the case cannot mean the same on
//                   Windows: the case is skipped there
//   windows-only    optional; the reason why the case means something only on
//                   Windows: the case is skipped elsewhere
//   expect/exit     the exit code the program returns; a POSIX shell sees
//                   its low 8 bits (pluvo's 301 as 45)
//   expect/stdout   exact bytes; a missing file means "must be empty"
//   expect/stderr   exact bytes; a missing file means "must be empty"
//   expect/files/   each file must exist in the working directory afterwards
//                   with exactly these bytes
//   expect/absent   optional; names, one per line, that must not exist
//   stdout-to       optional; where standard output goes instead of a file
//                   that is compared: "full" (/dev/full, every write fails
//                   with ENOSPC), "closed-pipe" (a pipe whose reader has
//                   gone, every write fails with EPIPE) or "first-line" (a
//                   pipe whose reader takes the first line and then closes
//                   it, as "| head -1" does). expect/stdout must then be
//                   absent.
//
//   options         optional; arguments, one per line, that give the same
//                   parameters as the answers: a second run with them must
//                   match too, its standard output without the prompts
//                   (held in ../prompts) and reading no standard input
//
// A case whose answers come on standard input (stdin or stdin-from) and that
// has no arguments is run once more with the answers file named as its only
// argument; that run must match exactly.
//
// Exit status: 0 when everything matches, 1 on any mismatch, 2 when the case
// itself cannot be run (bad layout, tool missing, temp directory trouble),
// 77 when it needs what this run lacks (the read-error shim) or is marked as
// not meant for this target.
// The working directory is removed after a pass and kept after a failure.
//
// A program built for Windows runs through the --emulator words (Wine), and
// through the --launcher, a small Windows program that reports the whole
// exit code. With --target windows the expected text is compared with CR LF
// line ends, as text mode writes them there; an expected file that is the
// same as the file of that name in in/ is an input left untouched and is
// compared as it is.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "byte_compare.h"
#include "runner_support.h"
#include "tool_process.h"

using namespace e2e;

namespace {

void make_hard_links(const fs::path& list, const fs::path& work_dir) {
  if (!fs::exists(list)) return;
  for (const std::string& line : split_lines(read_required(list))) {
    if (line.empty()) continue;
    std::istringstream words(line);
    std::string name;
    std::string existing;
    std::string extra;
    if (!(words >> name >> existing) || (words >> extra)) {
      setup_failure(list.string() + ": not a line \"NAME EXISTING\": \"" + escape_bytes(line) + "\"");
    }
    std::error_code error;
    fs::create_hard_link(work_dir / existing, work_dir / name, error);
    if (error) setup_failure("cannot link " + name + " to " + existing + ": " + error.message());
  }
}

void check_expected_files(const Options& options, const fs::path& expect_files, const fs::path& work_dir,
                          Report& report) {
  if (!fs::is_directory(expect_files)) return;
  std::vector<fs::path> names;
  for (const auto& entry : fs::recursive_directory_iterator(expect_files)) {
    if (entry.is_regular_file()) names.push_back(fs::relative(entry.path(), expect_files));
  }
  std::sort(names.begin(), names.end());
  for (const fs::path& name : names) {
    std::string expected = read_required(expect_files / name);
    if (options.windows) {
      std::string input;
      if (!read_file(options.case_dir / "in" / name, input) || input != expected) expected = with_crlf(expected);
    }
    fs::path actual_path = work_dir / name;
    std::error_code error;
    if (!fs::exists(actual_path, error)) {
      report.add("file " + name.string() + ": missing");
      continue;
    }
    if (!fs::is_regular_file(actual_path, error)) {
      report.add("file " + name.string() + ": exists but is not a regular file");
      continue;
    }
    std::string actual;
    if (!read_file(actual_path, actual)) {
      report.add("file " + name.string() + ": cannot be read");
      continue;
    }
    compare_bytes("file " + name.string(), expected, actual, report);
  }
}

void check_absent(const fs::path& absent_list, const fs::path& work_dir, Report& report) {
  if (!fs::exists(absent_list)) return;
  for (const std::string& name : split_lines(read_required(absent_list))) {
    if (name.empty()) continue;
    std::error_code error;
    if (fs::exists(fs::symlink_status(work_dir / name, error))) {
      report.add("file " + name + ": exists but must not");
    }
  }
}

Options parse_options(int argc, char** argv) {
  Options options;
  bool have_tool = false;
  bool have_case = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--tool" && i + 1 < argc) {
      options.tool = argv[++i];
      have_tool = true;
    } else if (arg == "--timeout" && i + 1 < argc) {
      options.timeout_seconds = std::atoi(argv[++i]);
      if (options.timeout_seconds <= 0) setup_failure("--timeout needs a positive number of seconds");
    } else if (arg == "--read-error-shim" && i + 1 < argc) {
      options.read_error_shim = fs::absolute(argv[++i]);
    } else if (arg == "--keep") {
      options.keep = true;
    } else if (arg == "--target" && i + 1 < argc) {
      std::string target = argv[++i];
      if (target != "posix" && target != "windows") setup_failure("--target is posix or windows");
      options.windows = target == "windows";
    } else if (arg == "--emulator" && i + 1 < argc) {
      options.emulator.push_back(argv[++i]);
    } else if (arg == "--launcher" && i + 1 < argc) {
      options.launcher = argv[++i];
    } else if (!have_case && !arg.starts_with("--")) {
      options.case_dir = arg;
      have_case = true;
    } else {
      have_tool = false;
      break;
    }
  }
  if (!have_tool || !have_case) {
    std::cerr << "usage: e2e_runner [--timeout SECONDS] [--keep] [--read-error-shim PATH] [--target posix|windows]\n"
                 "                  [--emulator PROGRAM]... [--launcher PATH] --tool PATH CASE_DIR\n";
    std::exit(EXIT_SETUP);
  }
  // The tool runs inside the working directory, so relative paths would break.
  options.tool = fs::absolute(options.tool);
  options.case_dir = fs::absolute(options.case_dir);
  if (!options.launcher.empty()) options.launcher = fs::absolute(options.launcher);
  return options;
}

// One run of the tool in a fresh working directory, compared with the
// case's expectations; `label` names the run in the report.
struct Variant {
  std::string label;
  std::vector<std::string> args;
  bool stdin_from_case = true;  // else a pipe that never delivers a byte
  std::string expected_stdout;
};

// The file of the working directory that stdin-from names, or empty.
std::string stdin_from_name(const fs::path& case_dir) {
  if (!fs::exists(case_dir / "stdin-from")) return "";
  const std::vector<std::string> lines = split_lines(read_required(case_dir / "stdin-from"));
  if (lines.empty() || lines.front().empty() || fs::exists(case_dir / "stdin")) {
    setup_failure("stdin-from must name one file of in/, and stdin must then be absent");
  }
  return lines.front();
}

void run_variant(const Options& options, const Variant& variant, long long expected_exit, const fs::path& root,
                 Report& report) {
  const fs::path& case_dir = options.case_dir;
  fs::path work_dir = root / "work";
  fs::create_directory(work_dir);
  if (fs::is_directory(case_dir / "in")) {
    std::error_code error;
    fs::copy(case_dir / "in", work_dir, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (error) setup_failure("cannot copy " + (case_dir / "in").string() + ": " + error.message());
  }
  make_hard_links(case_dir / "hardlinks", work_dir);
  fs::path stdin_path = fs::exists(case_dir / "stdin") ? case_dir / "stdin" : fs::path("/dev/null");
  const std::string from = stdin_from_name(case_dir);
  if (!from.empty()) stdin_path = work_dir / from;

  std::vector<std::pair<std::string, std::string>> environment;
  if (fs::exists(case_dir / "read-error")) {
    std::istringstream fields(read_required(case_dir / "read-error"));
    std::string name;
    long long offset = -1;
    if (!(fields >> name >> offset) || offset < 0) setup_failure("read-error must hold a file name and an offset");
    environment = {{"LD_PRELOAD", options.read_error_shim.string()},
                   {"READ_ERROR_FILE", (work_dir / name).string()},
                   {"READ_ERROR_AT", std::to_string(offset)}};
    // A sanitizer runtime wants to be loaded first; the shim is.
    const char* asan = std::getenv("ASAN_OPTIONS");
    environment.emplace_back("ASAN_OPTIONS", std::string(asan != nullptr ? asan : "") +
                                                 (asan != nullptr && *asan != '\0' ? ":" : "") +
                                                 "verify_asan_link_order=0");
  }

  std::vector<pid_t> feeders;
  int in_fd = -1;
  int silent_pipe[2] = {-1, -1};
  if (!variant.stdin_from_case) {
    // The tool must not read its standard input: a read would wait until
    // the timeout, since the write end stays open and silent.
    if (pipe(silent_pipe) != 0) setup_failure(std::string("pipe: ") + std::strerror(errno));
    fcntl(silent_pipe[1], F_SETFD, FD_CLOEXEC);
    in_fd = silent_pipe[0];
  } else if (fs::exists(case_dir / "stdin-pipe")) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) setup_failure(std::string("pipe: ") + std::strerror(errno));
    std::string bytes;
    if (stdin_path != "/dev/null") bytes = read_required(stdin_path);
    feeders.push_back(start_feeder(bytes, fds[1], {}));
    close(fds[1]);
    in_fd = fds[0];
  } else {
    in_fd = open_or_fail(stdin_path, O_RDONLY);
  }
  if (fs::exists(case_dir / "fifo")) make_fifos(case_dir / "fifo", work_dir, feeders);

  const StdoutTo stdout_to = read_stdout_to(case_dir);
  // The launcher writes the whole exit code of the tool to this file. A file
  // as standard input it opens itself, as a Windows console opens it for
  // "tool < file".
  if (!options.launcher.empty()) {
    environment.emplace_back("E2E_EXIT_CODE_FILE", (root / "exit-code").string());
    if (variant.stdin_from_case && !fs::exists(case_dir / "stdin-pipe") && fs::is_regular_file(stdin_path)) {
      environment.emplace_back("E2E_STDIN_FILE", fs::absolute(stdin_path).string());
    }
  }

  RunResult result = run_tool(options, variant.args, work_dir, in_fd, environment, stdout_to, root / "stdout",
                              root / "stderr", root / "exit-code");
  stop_feeders(feeders);
  if (silent_pipe[1] >= 0) close(silent_pipe[1]);

  Report found;
  if (result.timed_out) {
    found.add("timed out after " + std::to_string(options.timeout_seconds) + " s; the tool was killed");
  } else if (!options.launcher.empty()) {
    if (!result.launcher_reported) {
      found.add("the launcher reported no exit code (its own exit status " + std::to_string(result.shell_status) +
                ")");
    } else if (result.launcher_code != expected_exit) {
      found.add("exit code: expected " + std::to_string(expected_exit) + ", got " +
                std::to_string(result.launcher_code));
    }
  } else if (result.shell_status != (expected_exit & 0xff)) {
    std::string got = std::to_string(result.shell_status);
    if (result.signalled) got += " (killed by signal " + std::to_string(result.signal_number) + ")";
    std::string expected = std::to_string(expected_exit & 0xff);
    if (expected_exit > 0xff) expected += " (the low 8 bits of " + std::to_string(expected_exit) + ")";
    found.add("exit status: expected " + expected + ", got " + got);
  }
  const auto target_text = [&](std::string text) { return options.windows ? with_crlf(text) : text; };
  if (stdout_to == StdoutTo::CAPTURED) {
    compare_bytes("stdout", target_text(variant.expected_stdout), read_required(root / "stdout"), found);
  }
  compare_bytes("stderr", target_text(optional_expectation(case_dir / "expect" / "stderr")),
                read_required(root / "stderr"), found);
  check_expected_files(options, case_dir / "expect" / "files", work_dir, found);
  check_absent(case_dir / "expect" / "absent", work_dir, found);
  for (const std::string& problem : found.problems) report.add(variant.label + problem);
}

// The expected standard output of a run that takes its parameters from
// options: the dialogue run's, without the prompts (the file `prompts` of
// the tool's case folder holds them as they stand in that output).
std::string without_prompts(const std::string& dialogue_stdout, const fs::path& prompts_file) {
  const std::string prompts = read_required(prompts_file);
  const std::size_t at = dialogue_stdout.find(prompts);
  if (prompts.empty() || at == std::string::npos) {
    setup_failure("expect/stdout does not hold the prompts of " + prompts_file.string());
  }
  return dialogue_stdout.substr(0, at) + dialogue_stdout.substr(at + prompts.size());
}

}  // namespace

int main(int argc, char** argv) {
  Options options = parse_options(argc, argv);
  const fs::path& case_dir = options.case_dir;
  if (!fs::is_directory(case_dir)) setup_failure("no case directory " + case_dir.string());
  if (access(options.tool.c_str(), options.emulator.empty() ? X_OK : R_OK) != 0) {
    setup_failure("tool not executable: " + options.tool.string());
  }

  const char* marker = options.windows ? "windows-skip" : "windows-only";
  if (fs::exists(case_dir / marker)) {
    std::string reason = read_required(case_dir / marker);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    std::cout << "SKIP " << case_dir.string() << " (" << marker << "): " << reason << "\n";
    return EXIT_SKIP;
  }

  std::vector<std::string> args = split_lines(read_required(case_dir / "args"));
  if (fs::exists(case_dir / "timeout")) {
    options.timeout_seconds = std::atoi(read_required(case_dir / "timeout").c_str());
    if (options.timeout_seconds <= 0) setup_failure("timeout must hold a positive number of seconds");
  }
  long long expected_exit = parse_expected_exit(case_dir / "expect" / "exit");
  if (fs::exists(case_dir / "read-error") && options.read_error_shim.empty()) {
    std::cout << "SKIP " << case_dir.string() << " (no read-error shim)\n";
    return EXIT_SKIP;
  }
  const std::string expected_stdout = optional_expectation(case_dir / "expect" / "stdout");

  std::vector<Variant> variants;
  variants.push_back(Variant{"", args, true, expected_stdout});
  fs::path root = make_temp_root();
  // Answers on standard input without arguments: the same answers named as
  // the only argument must do exactly the same. A file of the working
  // directory is named as the tool's user would name it.
  const std::string from = stdin_from_name(case_dir);
  if (args.empty() && !from.empty()) {
    variants.push_back(Variant{"[answers file as argument] ", {from}, false, expected_stdout});
  } else if (args.empty() && fs::exists(case_dir / "stdin")) {
    const fs::path answers = root / "answers";
    fs::copy_file(case_dir / "stdin", answers);
    variants.push_back(Variant{"[answers file as argument] ", {answers.string()}, false, expected_stdout});
  }
  // The same parameters as options: everything but the prompts is the same.
  // For a tool with prompts, every dialogue case that completes has them.
  const fs::path prompts_file = case_dir.parent_path() / "prompts";
  if (fs::exists(prompts_file) && expected_exit == 0 && fs::exists(case_dir / "stdin") &&
      !fs::exists(case_dir / "options")) {
    setup_failure(case_dir.string() + " completes but has no options file giving the same parameters");
  }
  if (fs::exists(case_dir / "options")) {
    // Standard output that is not captured is not compared either.
    const bool captured = read_stdout_to(case_dir) == StdoutTo::CAPTURED;
    variants.push_back(Variant{"[options] ", split_lines(read_required(case_dir / "options")), false,
                               captured ? without_prompts(expected_stdout, prompts_file) : ""});
  }

  Report report;
  for (std::size_t i = 0; i < variants.size(); ++i) {
    const fs::path run_root = root / ("run" + std::to_string(i));
    fs::create_directory(run_root);
    run_variant(options, variants[i], expected_exit, run_root, report);
  }

  if (report.problems.empty()) {
    std::cout << "PASS " << case_dir.string() << "\n";
    if (!options.keep) fs::remove_all(root);
    return EXIT_PASS;
  }
  std::cout << "FAIL " << case_dir.string() << "\n";
  std::cout << "  tool: " << options.tool.string() << "\n";
  for (const std::string& problem : report.problems) std::cout << "  " << problem << "\n";
  std::cout << "  kept for inspection: " << root.string() << " (run<N>/stdout, stderr, work/)\n";
  return EXIT_MISMATCH;
}

