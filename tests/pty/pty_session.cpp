// Runs a tool at a pseudo-terminal, as a person at a terminal would, and
// compares what the terminal showed.
//
//   pty_session [--timeout SECONDS] --tool PATH CASE_DIR
//
// A case directory holds:
//   args              the arguments, one per line (an empty file: none)
//   in/               optional; copied into a fresh working directory
//   session           what the person does, one step a line:
//                       expect TEXT   wait until the terminal shows TEXT
//                       send TEXT     type TEXT and the Enter key ("send" alone: Enter)
//                       eof           type the end-of-input key (Ctrl-D)
//                     TEXT may hold \n, \t and \\.
//   expect/transcript everything the terminal showed: the tool's output and
//                     the echo of what was typed, exactly
//   expect/exit       the exit status
//   expect/files/     files that must exist afterwards with these bytes
//
// The terminal echoes what is typed and passes the tool's output through
// unchanged (no CR is added before LF). A step waits at most the timeout.
// Exit status: 0 pass, 1 mismatch, 2 the case cannot be run.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void setup_failure(const std::string& message) {
  std::cerr << "pty_session: " << message << "\n";
  std::exit(2);
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) setup_failure("cannot read " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
  }
  return out;
}

std::string escape(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '\n') {
      out += "\\n\n";
    } else if (c < 0x20 || c >= 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

struct Terminal {
  int master = -1;
  pid_t child = -1;
  std::string shown;  // everything the terminal showed so far
  bool closed = false;

  // Reads what is there, waiting at most `ms` for the first byte.
  void pump(int ms) {
    pollfd p{master, POLLIN, 0};
    if (closed || poll(&p, 1, ms) <= 0) return;
    char buf[4096];
    const ssize_t n = read(master, buf, sizeof buf);
    if (n > 0) {
      shown.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      closed = true;  // the tool's side of the terminal is gone
    }
  }
};

pid_t start_at_terminal(const fs::path& tool, const std::vector<std::string>& args, const fs::path& dir,
                        int& master) {
  master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) setup_failure("no pseudo-terminal");
  const std::string slave_name = ptsname(master);
  std::vector<std::string> copies = args;
  std::string tool_name = tool.string();
  std::vector<char*> argv{tool_name.data()};
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) setup_failure("fork failed");
  if (pid == 0) {
    setsid();
    const int slave = open(slave_name.c_str(), O_RDWR);
    if (slave < 0) _exit(127);
    ioctl(slave, TIOCSCTTY, 0);
    termios mode{};
    tcgetattr(slave, &mode);
    mode.c_oflag &= ~static_cast<tcflag_t>(OPOST);  // output passes unchanged
    mode.c_lflag |= ECHO | ICANON;
    tcsetattr(slave, TCSANOW, &mode);
    dup2(slave, 0);
    dup2(slave, 1);
    dup2(slave, 2);
    if (slave > 2) close(slave);
    close(master);
    if (chdir(dir.c_str()) != 0) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path tool;
  fs::path case_dir;
  int timeout_seconds = 20;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--tool" && i + 1 < argc) {
      tool = fs::absolute(argv[++i]);
    } else if (arg == "--timeout" && i + 1 < argc) {
      timeout_seconds = std::atoi(argv[++i]);
    } else {
      case_dir = fs::absolute(arg);
    }
  }
  if (tool.empty() || case_dir.empty() || timeout_seconds <= 0) {
    setup_failure("usage: pty_session [--timeout SECONDS] --tool PATH CASE_DIR");
  }

  char pattern[] = "/tmp/pty-XXXXXX";
  if (mkdtemp(pattern) == nullptr) setup_failure("no temporary directory");
  const fs::path work = pattern;
  if (fs::is_directory(case_dir / "in")) fs::copy(case_dir / "in", work, fs::copy_options::recursive);

  Terminal term;
  term.child = start_at_terminal(tool, split_lines(read_file(case_dir / "args")), work, term.master);
  std::vector<std::string> problems;
  std::size_t seen = 0;  // the text after this offset is searched for the next expect
  const auto deadline_after = [&] { return std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds); };

  for (const std::string& step : split_lines(read_file(case_dir / "session"))) {
    if (step.empty() || !problems.empty()) continue;
    if (step.rfind("expect ", 0) == 0) {
      const std::string text = unescape(step.substr(7));
      const auto deadline = deadline_after();
      std::size_t at;
      while ((at = term.shown.find(text, seen)) == std::string::npos) {
        if (term.closed || std::chrono::steady_clock::now() >= deadline) {
          problems.push_back("the terminal never showed \"" + step.substr(7) + "\"");
          break;
        }
        term.pump(50);
      }
      if (at != std::string::npos) seen = at + text.size();
    } else if (step == "send" || step.rfind("send ", 0) == 0) {
      const std::string line = unescape(step.substr(std::min<std::size_t>(5, step.size()))) + "\n";
      if (write(term.master, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        problems.push_back("cannot type \"" + step.substr(5) + "\"");
      }
    } else if (step == "eof") {
      const char eof_key = 4;  // VEOF, Ctrl-D
      if (write(term.master, &eof_key, 1) != 1) problems.push_back("cannot type the end-of-input key");
    } else {
      setup_failure("unknown session step: " + step);
    }
  }

  // The tool must end by itself; whatever it still shows belongs to the transcript.
  int status = 0;
  bool ended = false;
  const auto deadline = deadline_after();
  while (!ended) {
    term.pump(20);
    ended = waitpid(term.child, &status, WNOHANG) == term.child;
    if (!ended && std::chrono::steady_clock::now() >= deadline) {
      kill(term.child, SIGKILL);
      waitpid(term.child, &status, 0);
      problems.push_back("the tool did not end within " + std::to_string(timeout_seconds) + " s");
      break;
    }
  }
  while (!term.closed) term.pump(20);

  const std::string expected = read_file(case_dir / "expect" / "transcript");
  if (term.shown != expected) {
    problems.push_back("transcript differs; expected:\n" + escape(expected) + "\n--- shown:\n" + escape(term.shown));
  }
  const int expected_exit = std::atoi(read_file(case_dir / "expect" / "exit").c_str());
  const int got_exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (got_exit != expected_exit) {
    problems.push_back("exit status: expected " + std::to_string(expected_exit) + ", got " + std::to_string(got_exit));
  }
  const fs::path files = case_dir / "expect" / "files";
  if (fs::is_directory(files)) {
    for (const auto& entry : fs::directory_iterator(files)) {
      const fs::path actual = work / entry.path().filename();
      if (!fs::exists(actual) || read_file(actual) != read_file(entry.path())) {
        problems.push_back("file " + entry.path().filename().string() + " is missing or differs");
      }
    }
  }

  if (problems.empty()) {
    std::cout << "PASS " << case_dir.string() << "\n";
    fs::remove_all(work);
    return 0;
  }
  std::cout << "FAIL " << case_dir.string() << "\n";
  for (const std::string& p : problems) std::cout << "  " << p << "\n";
  std::cout << "  kept for inspection: " << work.string() << "\n";
  return 1;
}
