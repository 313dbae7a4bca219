// The few operating-system calls the text layer needs: unbuffered reads of
// raw bytes (the text-mode translation is done by TextReader, the same on
// every platform) and the identity of files.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace textio {

// -1 on failure; a directory is refused here on every platform, so that it
// fails as an input that cannot be opened rather than as one that cannot
// be read.
int platform_open_read(const std::string& path);
int platform_standard_input();
// Reads at most `room` bytes; returns the number read, 0 at the end of the
// input and -1 when the system reports a failure. On a terminal or a pipe
// it returns what is available instead of waiting for a full block.
long long platform_read(int fd, char* dst, std::size_t room);
// True when the input can return to its start by repositioning: a regular
// file (or a disk). Pipes, FIFOs, terminals and sockets cannot.
bool platform_can_seek(int fd);
bool platform_seek_start(int fd);
// The size in bytes of a regular file, -1 for anything else (a pipe, a
// device, a terminal) or when the system cannot tell.
long long platform_file_size(int fd);
bool platform_close(int fd);

// True when both names refer to one existing file, however they are spelled:
// the same device and inode, on Windows the same volume serial number and
// file index. Other case, leading .\ and ..\ parts, doubled separators, a
// full path with its drive letter and hard links all name the same file.
bool same_existing_file(const std::string& a, const std::string& b);

// True when the descriptor is open on a regular file and `path` names that
// same file. Pipes, terminals and devices never match.
bool descriptor_is_file(int fd, const std::string& path);

// A write to a pipe whose reader has gone fails with EPIPE instead of
// ending the process by a signal (POSIX); nothing to do elsewhere.
void platform_ignore_broken_pipe();

// Called at once after a write failed with `saved_errno`: true when it failed
// because the reader of a pipe has gone. That is EPIPE on POSIX; on Windows
// the C library reports it as EINVAL, and the system's last error tells.
bool write_failed_for_lost_reader(int saved_errno);

// True when the stream writes to a terminal (a console window on Windows).
bool is_terminal(std::FILE* stream);

}  // namespace textio
