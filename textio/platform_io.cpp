#include "platform_io.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
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

namespace {
bool file_identity(HANDLE h, BY_HANDLE_FILE_INFORMATION& info) {
  return h != INVALID_HANDLE_VALUE && GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
         !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

bool descriptor_is_file(int fd, const std::string& path) {
  BY_HANDLE_FILE_INFORMATION open_file{};
  if (!file_identity(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), open_file)) return false;
  HANDLE named = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (named == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION named_file{};
  const bool known = file_identity(named, named_file);
  CloseHandle(named);
  return known && open_file.dwVolumeSerialNumber == named_file.dwVolumeSerialNumber &&
         open_file.nFileIndexHigh == named_file.nFileIndexHigh && open_file.nFileIndexLow == named_file.nFileIndexLow;
}

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

bool descriptor_is_file(int fd, const std::string& path) {
  struct stat open_file {};
  struct stat named_file {};
  if (fd < 0 || ::fstat(fd, &open_file) != 0 || !S_ISREG(open_file.st_mode)) return false;
  return ::stat(path.c_str(), &named_file) == 0 && open_file.st_dev == named_file.st_dev &&
         open_file.st_ino == named_file.st_ino;
}

void platform_ignore_broken_pipe() { ::signal(SIGPIPE, SIG_IGN); }
#endif

bool same_existing_file(const std::string& a, const std::string& b) {
  std::error_code ec;
  bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

}  // namespace textio
