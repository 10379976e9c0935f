#pragma once

#include <cstddef>

// The system calls a user's file is read and written with, gathered in one
// table so that a test can make one of them fail part-way (a full disk, say)
// or see in which order they came. Each follows the
// POSIX convention: -1 and errno on failure.
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
};

// The calls of this machine.
const FileCalls& RealFileCalls();
