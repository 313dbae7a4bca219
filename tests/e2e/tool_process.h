// Running the tool of a case as a child process: its standard streams, the
// FIFOs and pipes that feed it, a time limit, and how it ended.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

#include "runner_support.h"

namespace e2e {

// Where the tool's standard output goes.
enum class StdoutTo { CAPTURED, FULL, CLOSED_PIPE, FIRST_LINE };

struct RunResult {
  bool timed_out = false;
  bool signalled = false;
  int signal_number = 0;
  int shell_status = 0;  // what $? would show: the exit code, or 128 + signal
  bool launcher_reported = false;
  long long launcher_code = 0;  // the whole exit code, from the launcher
};

// The case's stdout-to file, checked against its expectations.
StdoutTo read_stdout_to(const fs::path& case_dir);

// A child process that writes `bytes` into a pipe (pipe_fd) or, when the
// tool opens it for reading, into a FIFO.
pid_t start_feeder(const std::string& bytes, int pipe_fd, const fs::path& fifo);
void stop_feeders(std::vector<pid_t>& feeders);
// Replaces each file of the working directory that `list` names by a FIFO
// that a feeder fills with the file's bytes.
void make_fifos(const fs::path& list, const fs::path& work_dir, std::vector<pid_t>& feeders);

// Runs the tool in `work_dir` with `in_fd` as standard input (closed here)
// and waits for its end, at most the options' timeout.
RunResult run_tool(const Options& options, const std::vector<std::string>& args, const fs::path& work_dir,
                   int in_fd, const std::vector<std::pair<std::string, std::string>>& environment, StdoutTo stdout_to,
                   const fs::path& stdout_path, const fs::path& stderr_path, const fs::path& exit_code_path);

}  // namespace e2e
