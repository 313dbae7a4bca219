#include "platform_io.h"

#include <cerrno>

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

long long platform_file_size(int fd) {
  struct _stat64 st;
  if (_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) return -1;
  return static_cast<long long>(st.st_size);
}
bool platform_close(int fd) { return _close(fd) == 0; }

namespace {
bool file_identity(HANDLE h, BY_HANDLE_FILE_INFORMATION& info) {
  return h != INVALID_HANDLE_VALUE && GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
         !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Names are taken in the ANSI code page, as fopen takes them. Only the
// attributes are read, so a file that another program holds open has an
// identity too.
bool named_file_identity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE named = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (named == INVALID_HANDLE_VALUE) return false;
  const bool known = file_identity(named, info);
  CloseHandle(named);
  return known;
}

// One file: the same volume and the same index on it, however it was named.
bool same_identity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}
}  // namespace

bool descriptor_is_file(int fd, const std::string& path) {
  BY_HANDLE_FILE_INFORMATION open_file{};
  BY_HANDLE_FILE_INFORMATION named_file{};
  return file_identity(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), open_file) &&
         named_file_identity(path, named_file) && same_identity(open_file, named_file);
}

bool same_existing_file(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION x{};
  BY_HANDLE_FILE_INFORMATION y{};
  return named_file_identity(a, x) && named_file_identity(b, y) && same_identity(x, y);
}

bool is_terminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

void platform_ignore_broken_pipe() {}

bool write_failed_for_lost_reader(int saved_errno) {
  if (saved_errno == EPIPE) return true;
  if (saved_errno != EINVAL) return false;
  const DWORD error = GetLastError();
  return error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED;
}
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

long long platform_file_size(int fd) {
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<long long>(st.st_size);
}
bool platform_close(int fd) { return ::close(fd) == 0; }

bool descriptor_is_file(int fd, const std::string& path) {
  struct stat open_file {};
  struct stat named_file {};
  if (fd < 0 || ::fstat(fd, &open_file) != 0 || !S_ISREG(open_file.st_mode)) return false;
  return ::stat(path.c_str(), &named_file) == 0 && open_file.st_dev == named_file.st_dev &&
         open_file.st_ino == named_file.st_ino;
}

void platform_ignore_broken_pipe() { ::signal(SIGPIPE, SIG_IGN); }

bool write_failed_for_lost_reader(int saved_errno) { return saved_errno == EPIPE; }

bool same_existing_file(const std::string& a, const std::string& b) {
  struct stat x;
  struct stat y;
  if (::stat(a.c_str(), &x) != 0 || ::stat(b.c_str(), &y) != 0) return false;
  return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

bool is_terminal(std::FILE* stream) { return ::isatty(fileno(stream)) != 0; }
#endif

}  // namespace textio
