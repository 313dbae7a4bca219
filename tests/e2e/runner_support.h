// What the parts of the end-to-end runner share: its options, how it gives
// up on a case that cannot be run, and reading and spelling out case files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;

constexpr int EXIT_PASS = 0;
constexpr int EXIT_MISMATCH = 1;
constexpr int EXIT_SETUP = 2;
constexpr int EXIT_SKIP = 77;

struct Options {
  fs::path tool;
  fs::path case_dir;
  fs::path read_error_shim;
  int timeout_seconds = 60;
  bool keep = false;
  bool windows = false;               // the tool is a Windows program
  std::vector<std::string> emulator;  // words put before the program
  fs::path launcher;                  // reports the whole exit code
};

// Ends the runner with EXIT_SETUP: the case itself cannot be run.
[[noreturn]] void setup_failure(const std::string& message);

bool read_file(const fs::path& path, std::string& content);
std::string read_required(const fs::path& path);
// The file's content, or empty when there is no such file.
std::string optional_expectation(const fs::path& path);
long long parse_expected_exit(const fs::path& path);

// Splits on "\n"; a final line end does not start another (empty) line.
std::vector<std::string> split_lines(const std::string& text);
// The bytes with control and non-ASCII characters spelled as escapes.
std::string escape_bytes(const std::string& bytes);
// Text as text mode writes it on Windows: every LF becomes CR LF.
std::string with_crlf(const std::string& text);

fs::path make_temp_root();
int open_or_fail(const fs::path& path, int flags);

}  // namespace e2e
