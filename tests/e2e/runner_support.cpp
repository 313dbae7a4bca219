#include "runner_support.h"

#include <fcntl.h>
#include <stdlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

namespace e2e {

[[noreturn]] void setup_failure(const std::string& message) {
  std::cerr << "e2e_runner: " << message << "\n";
  std::exit(EXIT_SETUP);
}

bool read_file(const fs::path& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return false;
  content = buffer.str();
  return true;
}

std::string read_required(const fs::path& path) {
  std::string content;
  if (!read_file(path, content)) setup_failure("cannot read " + path.string());
  return content;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string escape_bytes(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      default:
        if (c < 0x20 || c >= 0x7f) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02x", c);
          out += hex;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

std::string optional_expectation(const fs::path& path) {
  std::string content;
  if (fs::exists(path)) content = read_required(path);
  return content;
}

long long parse_expected_exit(const fs::path& path) {
  std::string text = read_required(path);
  std::size_t first = text.find_first_not_of(" \t\r\n");
  std::size_t last = text.find_last_not_of(" \t\r\n");
  if (first == std::string::npos) setup_failure(path.string() + " is empty");
  std::string number = text.substr(first, last - first + 1);
  char* end = nullptr;
  errno = 0;
  long long value = std::strtoll(number.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < 0 || value > 4294967295LL) {
    setup_failure(path.string() + " does not hold an exit code 0..4294967295: \"" + escape_bytes(number) + "\"");
  }
  return value;
}

std::string with_crlf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

fs::path make_temp_root() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/e2e-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) {
    setup_failure("cannot create a temporary directory from " + pattern + ": " + std::strerror(errno));
  }
  return fs::path(name.data());
}

int open_or_fail(const fs::path& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) setup_failure("cannot open " + path.string() + ": " + std::strerror(errno));
  return fd;
}

}  // namespace e2e
