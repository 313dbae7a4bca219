#include "tool_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace e2e {

StdoutTo read_stdout_to(const fs::path& case_dir) {
  const fs::path path = case_dir / "stdout-to";
  if (!fs::exists(path)) return StdoutTo::CAPTURED;
  const std::vector<std::string> lines = split_lines(read_required(path));
  const std::string word = lines.empty() ? "" : lines.front();
  StdoutTo to;
  if (word == "full") {
    to = StdoutTo::FULL;
  } else if (word == "closed-pipe") {
    to = StdoutTo::CLOSED_PIPE;
  } else if (word == "first-line") {
    to = StdoutTo::FIRST_LINE;
  } else {
    setup_failure(path.string() + " must hold \"full\", \"closed-pipe\" or \"first-line\", not \"" +
                  escape_bytes(word) + "\"");
  }
  if (fs::exists(case_dir / "expect" / "stdout")) {
    setup_failure("expect/stdout cannot be compared when standard output goes to " + word);
  }
  return to;
}

namespace {

// The descriptor the tool gets as standard output; for "first-line" also
// the reading end, which the runner keeps.
int open_stdout(StdoutTo to, const fs::path& stdout_path, int& reader) {
  reader = -1;
  if (to == StdoutTo::FULL) return open_or_fail("/dev/full", O_WRONLY);
  if (to == StdoutTo::CLOSED_PIPE || to == StdoutTo::FIRST_LINE) {
    int ends[2];
    if (pipe(ends) != 0) setup_failure(std::string("pipe: ") + std::strerror(errno));
    fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    fcntl(ends[1], F_SETFD, FD_CLOEXEC);
    if (to == StdoutTo::CLOSED_PIPE) {
      close(ends[0]);  // the reader is gone before the tool writes anything
    } else {
      reader = ends[0];
    }
    return ends[1];
  }
  return open_or_fail(stdout_path, O_WRONLY | O_CREAT | O_TRUNC);
}

// Reads what is there of the first line, one byte at a time, and closes the
// reader once the line end (or the end of the output) has been read.
void read_first_line(int& reader) {
  pollfd p{reader, POLLIN, 0};
  while (reader >= 0 && poll(&p, 1, 0) > 0) {
    char c = 0;
    const ssize_t n = read(reader, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || c == '\n') {
      close(reader);
      reader = -1;
    }
  }
}

}  // namespace

// A child process that writes `bytes` into a pipe or a FIFO and ends; a FIFO
// is opened only when the tool opens it for reading. The tool may stop
// reading early, so a broken pipe only ends the writer.
pid_t start_feeder(const std::string& bytes, int pipe_fd, const fs::path& fifo) {
  pid_t pid = fork();
  if (pid < 0) setup_failure(std::string("fork: ") + std::strerror(errno));
  if (pid != 0) return pid;
  signal(SIGPIPE, SIG_IGN);
  int fd = pipe_fd >= 0 ? pipe_fd : ::open(fifo.c_str(), O_WRONLY);
  if (fd < 0) _exit(1);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  _exit(0);
}

void stop_feeders(std::vector<pid_t>& feeders) {
  for (pid_t pid : feeders) {
    kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  feeders.clear();
}

// Replaces each named file of the working directory by a FIFO that a
// feeder fills with the file's bytes.
void make_fifos(const fs::path& list, const fs::path& work_dir, std::vector<pid_t>& feeders) {
  for (const std::string& name : split_lines(read_required(list))) {
    if (name.empty()) continue;
    const fs::path path = work_dir / name;
    std::string bytes = read_required(path);
    fs::remove(path);
    if (mkfifo(path.c_str(), 0644) != 0) setup_failure("mkfifo " + path.string() + ": " + std::strerror(errno));
    feeders.push_back(start_feeder(bytes, -1, path));
  }
}

RunResult run_tool(const Options& options, const std::vector<std::string>& args, const fs::path& work_dir,
                   int in_fd, const std::vector<std::pair<std::string, std::string>>& environment, StdoutTo stdout_to,
                   const fs::path& stdout_path, const fs::path& stderr_path, const fs::path& exit_code_path) {
  int reader = -1;
  int out_fd = open_stdout(stdout_to, stdout_path, reader);
  int err_fd = open_or_fail(stderr_path, O_WRONLY | O_CREAT | O_TRUNC);

  // The child reports a failed exec through this pipe; a successful exec
  // closes it (O_CLOEXEC) and the parent reads end of file.
  int exec_pipe[2];
  if (pipe(exec_pipe) != 0) setup_failure(std::string("pipe: ") + std::strerror(errno));
  fcntl(exec_pipe[0], F_SETFD, FD_CLOEXEC);
  fcntl(exec_pipe[1], F_SETFD, FD_CLOEXEC);

  std::string tool = options.tool.string();
  std::vector<std::string> words = options.emulator;
  if (!options.launcher.empty()) words.push_back(options.launcher.string());
  words.push_back(tool);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  pid_t pid = fork();
  if (pid < 0) setup_failure(std::string("fork: ") + std::strerror(errno));
  if (pid == 0) {
    // Own process group, so that a timeout can kill whatever the tool started.
    setpgid(0, 0);
    int error = 0;
    for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
    if (chdir(work_dir.c_str()) != 0 || dup2(in_fd, STDIN_FILENO) < 0 || dup2(out_fd, STDOUT_FILENO) < 0 ||
        dup2(err_fd, STDERR_FILENO) < 0) {
      error = errno;
    } else {
      execvp(argv[0], argv.data());
      error = errno;
    }
    ssize_t written = write(exec_pipe[1], &error, sizeof error);
    (void)written;
    _exit(127);
  }
  setpgid(pid, pid);
  close(exec_pipe[1]);
  close(in_fd);
  close(out_fd);
  close(err_fd);

  int exec_error = 0;
  ssize_t got;
  do {
    got = read(exec_pipe[0], &exec_error, sizeof exec_error);
  } while (got < 0 && errno == EINTR);
  close(exec_pipe[0]);

  RunResult result;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeout_seconds);
  int status = 0;
  for (;;) {
    if (reader >= 0) read_first_line(reader);
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) setup_failure(std::string("waitpid: ") + std::strerror(errno));
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      result.timed_out = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }

  if (reader >= 0) close(reader);
  if (got == static_cast<ssize_t>(sizeof exec_error)) {
    setup_failure(std::string("cannot run ") + argv[0] + ": " + std::strerror(exec_error));
  }
  if (WIFEXITED(status)) {
    result.shell_status = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signalled = true;
    result.signal_number = WTERMSIG(status);
    result.shell_status = 128 + result.signal_number;
  }
  if (!options.launcher.empty()) {
    std::string report;
    if (read_file(exit_code_path, report)) {
      char* end = nullptr;
      errno = 0;
      result.launcher_code = std::strtoll(report.c_str(), &end, 10);
      result.launcher_reported = errno == 0 && end != report.c_str() && std::string(end) == "\n";
    }
  }
  return result;
}

}  // namespace e2e
