// The few operating-system calls the text layer needs: unbuffered reads of
// raw bytes (the text-mode translation is done by TextReader, the same on
// every platform) and the identity of files.
#pragma once

#include <cstddef>
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
bool platform_close(int fd);

// True when both names refer to one existing file (same device and inode,
// or the platform's equivalent), however they are spelled.
bool same_existing_file(const std::string& a, const std::string& b);

// True when the descriptor is open on a regular file and `path` names that
// same file. Pipes, terminals and devices never match.
bool descriptor_is_file(int fd, const std::string& path);

// A write to a pipe whose reader has gone fails with EPIPE instead of
// ending the process by a signal (POSIX); nothing to do elsewhere.
void platform_ignore_broken_pipe();

// True when the descriptor is a terminal (a console on Windows).
bool platform_is_terminal(int fd);

}  // namespace textio
