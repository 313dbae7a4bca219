#include "platform_io.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
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
int platform_open_read(const std::string& path) {
  const int fd = _open(path.c_str(), _O_RDONLY | _O_BINARY);
  if (fd < 0) return -1;
  struct _stat64 st;
  if (_fstat64(fd, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFDIR) {
    _close(fd);
    errno = EISDIR;
    return -1;
  }
  return fd;
}

int platform_standard_input() {
  _setmode(0, _O_BINARY);
  return 0;
}

long long platform_read(int fd, char* dst, std::size_t room) {
  const unsigned int chunk = room > (1u << 30) ? (1u << 30) : static_cast<unsigned int>(room);
  const int n = _read(fd, dst, chunk);
  return n >= 0 ? n : -1;
}

// Only a disk file can be repositioned; _lseeki64 on a pipe or a console
// does not fail, it just does nothing useful.
bool platform_can_seek(int fd) {
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  return h != INVALID_HANDLE_VALUE && GetFileType(h) == FILE_TYPE_DISK && _lseeki64(fd, 0, SEEK_CUR) >= 0;
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

bool platform_is_terminal(int fd) { return _isatty(fd) != 0; }
#else
int platform_open_read(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return -1;
  }
  return fd;
}

int platform_standard_input() { return 0; }

long long platform_read(int fd, char* dst, std::size_t room) {
  for (;;) {
    const ssize_t n = ::read(fd, dst, room);
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

bool platform_can_seek(int fd) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
  return (S_ISREG(st.st_mode) || S_ISBLK(st.st_mode)) && ::lseek(fd, 0, SEEK_CUR) >= 0;
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

bool platform_is_terminal(int fd) { return ::isatty(fd) != 0; }
#endif

bool same_existing_file(const std::string& a, const std::string& b) {
  std::error_code ec;
  bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

}  // namespace textio
