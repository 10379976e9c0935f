#include "FileCalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {
int OpenFile(const char* path, int flags, unsigned mode) {
  return ::open(path, flags, static_cast<mode_t>(mode));
}

long ReadFile(int fd, void* bytes, std::size_t size) {
  return static_cast<long>(::read(fd, bytes, size));
}

long WriteFile(int fd, const void* bytes, std::size_t size) {
  return static_cast<long>(::write(fd, bytes, size));
}

int SyncFile(int fd) {
  return ::fsync(fd);
}

int SyncData(int fd) {
  return ::fdatasync(fd);
}

int CloseFile(int fd) {
  return ::close(fd);
}

int RenameFile(const char* from, const char* to) {
  return std::rename(from, to);
}

int RenameNoReplace(const char* from, const char* to) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return -1;
#endif
  // A file system that cannot rename without replacing: a second name made
  // with link() is refused just the same when the target exists.
  if (::link(from, to) != 0) return -1;
  ::unlink(from);
  return 0;
}

int UnlinkFile(const char* path) {
  return ::unlink(path);
}

int LockFile(int fd, int operation) {
  return ::flock(fd, operation);
}

int FileStatus(int fd, struct stat* status) {
  return ::fstat(fd, status);
}

std::int64_t SeekFile(int fd, std::int64_t offset, int whence) {
  return ::lseek(fd, static_cast<off_t>(offset), whence);
}

int ControlFile(int fd, int command, int argument) {
  return ::fcntl(fd, command, argument);
}
}  // namespace

const FileCalls& RealFileCalls() {
  static const FileCalls calls = {OpenFile,   ReadFile,   WriteFile,       SyncFile,   SyncData,
                                  CloseFile,  RenameFile, RenameNoReplace, UnlinkFile, LockFile,
                                  FileStatus, SeekFile,   ControlFile};
  return calls;
}

bool BlockAgain(const FileCalls& calls, int fd) {
  const int flags = calls.fcntl(fd, F_GETFL, 0);
  return flags >= 0 && calls.fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}
