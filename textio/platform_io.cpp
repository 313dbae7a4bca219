#include "platform_io.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace textio {

#ifdef _WIN32
int platform_open_read(const std::string& path) { return _open(path.c_str(), _O_RDONLY | _O_BINARY); }

int platform_standard_input() {
  _setmode(0, _O_BINARY);
  return 0;
}

std::size_t platform_read(int fd, char* dst, std::size_t room) {
  const unsigned int chunk = room > (1u << 30) ? (1u << 30) : static_cast<unsigned int>(room);
  int n = _read(fd, dst, chunk);
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

bool platform_seek_start(int fd) { return _lseeki64(fd, 0, SEEK_SET) == 0; }
bool platform_close(int fd) { return _close(fd) == 0; }

void platform_ignore_broken_pipe() {}
#else
int platform_open_read(const std::string& path) { return ::open(path.c_str(), O_RDONLY); }

int platform_standard_input() { return 0; }

std::size_t platform_read(int fd, char* dst, std::size_t room) {
  for (;;) {
    ssize_t n = ::read(fd, dst, room);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) return 0;
  }
}

bool platform_seek_start(int fd) { return ::lseek(fd, 0, SEEK_SET) == 0; }
bool platform_close(int fd) { return ::close(fd) == 0; }

void platform_ignore_broken_pipe() { ::signal(SIGPIPE, SIG_IGN); }
#endif

bool same_existing_file(const std::string& a, const std::string& b) {
  std::error_code ec;
  bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

}  // namespace textio
