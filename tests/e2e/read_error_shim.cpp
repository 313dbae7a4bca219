// Makes the reads of one file fail, for the end-to-end cases. Loaded with
// LD_PRELOAD, it lets the first READ_ERROR_AT bytes of the file named by
// READ_ERROR_FILE be read as usual and fails every read beyond them with
// EIO, as a disk or a network file system would. Every other file, and
// every process that does not set both variables, reads as usual.
#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

using ReadFunction = ssize_t (*)(int, void*, size_t);

ReadFunction next_read() {
  static ReadFunction next = reinterpret_cast<ReadFunction>(dlsym(RTLD_NEXT, "read"));
  return next;
}

// The number of bytes a read of `fd` may still deliver, or -1 without limit.
long long allowed_bytes(int fd) {
  const char* path = std::getenv("READ_ERROR_FILE");
  const char* at = std::getenv("READ_ERROR_AT");
  if (path == nullptr || at == nullptr) return -1;
  struct stat target;
  struct stat file;
  if (stat(path, &target) != 0 || fstat(fd, &file) != 0) return -1;
  if (file.st_dev != target.st_dev || file.st_ino != target.st_ino) return -1;
  const off_t position = lseek(fd, 0, SEEK_CUR);
  if (position < 0) return -1;
  const long long limit = std::strtoll(at, nullptr, 10);
  return position >= limit ? 0 : limit - position;
}

}  // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
  const long long allowed = allowed_bytes(fd);
  if (allowed == 0 && count > 0) {
    errno = EIO;
    return -1;
  }
  if (allowed > 0 && count > static_cast<unsigned long long>(allowed)) count = static_cast<size_t>(allowed);
  ReadFunction next = next_read();
  if (next == nullptr) {
    errno = ENOSYS;
    return -1;
  }
  return next(fd, buffer, count);
}

// The checked variant that fortified builds call instead.
extern "C" ssize_t __read_chk(int fd, void* buffer, size_t count, size_t /*buffer_size*/) {
  return read(fd, buffer, count);
}
