#pragma once

#include <cstddef>
#include <cstdint>

struct stat;

// The system calls a user's file or a card image is read, written, locked and
// synced with, gathered in one table so that a test can make one of them
// fail part-way (a full disk, say) or see in which order they came. Each
// follows the POSIX convention: -1 and errno on failure.
//
// Calls that only ask about a name (stat, lstat, access) stay outside: they
// open nothing and change nothing, and a test gives them a real folder, pipe
// or link to find. So do fchown and fchmod, whose failures the writer ignores
// by design (only root may give a file away; some file systems keep no modes).
struct FileCalls {
  int (*open)(const char* path, int flags, unsigned mode);
  long (*read)(int fd, void* bytes, std::size_t size);         // bytes read; 0 at the end
  long (*write)(int fd, const void* bytes, std::size_t size);  // bytes written
  int (*fsync)(int fd);
  int (*dataSync)(int fd);  // the content reaches the disk, as fsync, without the times
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
  // As rename, but fails with EEXIST when to exists, in one step.
  int (*renameNoReplace)(const char* from, const char* to);
  int (*unlink)(const char* path);
  int (*flock)(int fd, int operation);  // LOCK_SH or LOCK_EX, with LOCK_NB
  int (*fstat)(int fd, struct stat* status);
  std::int64_t (*lseek)(int fd, std::int64_t offset, int whence);  // the new offset
  int (*fcntl)(int fd, int command, int argument);  // F_GETFL, F_SETFL: an int or none
};

// The calls of this machine.
const FileCalls& RealFileCalls();

// Makes a descriptor opened with O_NONBLOCK, so as not to wait at the open,
// block as usual from now on. False with errno set.
bool BlockAgain(const FileCalls& calls, int fd);
