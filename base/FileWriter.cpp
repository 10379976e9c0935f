#include "FileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include "Messages.h"

namespace {

Result CannotWrite(const std::string& reason) {
  return Result::Failure(Fill(message::kCannotWrite, {reason}));
}

Result CannotWrite(int error) {
  return Result::Failure(Fill(message::kCannotWrite, {std::generic_category().message(error)}),
                         static_cast<std::uint32_t>(error));
}

Result AlreadyExists(const std::string& path) {
  return Result::Failure(Fill(message::kAlreadyExists, {path}));
}

// False with errno set; a write may take fewer bytes than it was given.
bool WriteAll(const FileCalls& calls, int fd, const std::uint8_t* bytes, std::size_t size) {
  while (size > 0) {
    const long written = calls.write(fd, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// Closes fd, keeping the first failure: a file system may report a lost
// write only when the file is closed.
bool CloseKeepingError(const FileCalls& calls, int fd, bool ok, int& error) {
  if (calls.close(fd) != 0 && ok) {
    error = errno;
    return false;
  }
  return ok;
}

// A name beside target that no file has, taken with O_EXCL so that nothing
// else is ever opened. Mode 0666 less the umask, as for any new file.
int CreateTemporary(const FileCalls& calls, const std::string& target, std::string& temporary) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  static thread_local std::mt19937 generator(std::random_device{}());
  const std::filesystem::path path(target);
  // Short enough for any file system's name limit.
  const std::string stem = "." + path.filename().string().substr(0, 200) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = stem;
    for (int k = 0; k < 6; ++k)
      name += kLetters[generator() % (sizeof kLetters - 1)];
    temporary = (path.parent_path() / (name + ".tmp")).string();
    const int fd =
        calls.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The complete bytes in a temporary file beside target, on the disk; on a
// failure no temporary file is left. old is the file being replaced, if any.
Result WriteTemporary(const FileCalls& calls, const std::string& target, const std::uint8_t* bytes,
                      std::size_t size, const struct stat* old, std::string& temporary) {
  const int fd = CreateTemporary(calls, target, temporary);
  if (fd < 0) return CannotWrite(errno);
  if (old != nullptr) {
    // Only root may give a file away; otherwise the new one stays ours.
    [[maybe_unused]] const int owned = ::fchown(fd, old->st_uid, old->st_gid);
    ::fchmod(fd, old->st_mode & 07777);
  }
  bool ok = WriteAll(calls, fd, bytes, size) && calls.fsync(fd) == 0;
  int error = errno;
  ok = CloseKeepingError(calls, fd, ok, error);
  if (!ok) {
    calls.unlink(temporary.c_str());
    return CannotWrite(error);
  }
  return Result();
}

// The new name in the folder reaches the disk too. Some file systems cannot
// sync a folder; the file itself is safe by then.
void SyncFolderOf(const FileCalls& calls, const std::string& path) {
  std::string folder = std::filesystem::path(path).parent_path().string();
  if (folder.empty()) folder = ".";
  const int fd = calls.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return;
  calls.fsync(fd);
  calls.close(fd);
}

bool IsStream(mode_t mode) {
  return S_ISCHR(mode) || S_ISFIFO(mode);
}

// A device or pipe has no content to keep: it is opened without creating or
// truncating, and nothing is removed when the writing fails. A pipe that no
// program reads is refused at once (ENXIO) rather than waited for.
Result WriteThrough(const FileCalls& calls, const std::string& path, const std::uint8_t* bytes,
                    std::size_t size) {
  const int fd = calls.open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK, 0);
  if (fd < 0) return CannotWrite(errno);
  struct stat opened {};
  if (calls.fstat(fd, &opened) != 0 || !IsStream(opened.st_mode) || !BlockAgain(calls, fd)) {
    calls.close(fd);
    return CannotWrite(message::kChangedWhileOpened.text);
  }
  bool ok = WriteAll(calls, fd, bytes, size);
  int error = errno;
  ok = CloseKeepingError(calls, fd, ok, error);
  return ok ? Result() : CannotWrite(error);
}

// Where one file's bytes go: into a temporary file that is then renamed over
// target (the file a link leads to, for a link), or, with no temporary, straight
// through the device or pipe target.
struct Planned {
  const FileContent* file;
  std::string target;
  std::string temporary;
};

// Looks at what has the file's name and, unless it is a stream, writes the
// bytes to a temporary file beside it.
Result Plan(const FileCalls& calls, Planned& plan) {
  const std::string& path = plan.file->path;
  const std::uint8_t* bytes = plan.file->bytes;
  const std::size_t size = plan.file->size;
  plan.target = path;
  struct stat named {};
  if (::lstat(path.c_str(), &named) != 0) {
    if (errno != ENOENT) return CannotWrite(errno);
    return WriteTemporary(calls, path, bytes, size, nullptr, plan.temporary);
  }
  struct stat target = named;
  if (S_ISLNK(named.st_mode) && ::stat(path.c_str(), &target) != 0) return CannotWrite(errno);

  if (S_ISREG(target.st_mode)) {
    // A file the user may not write stays as it is, as it would for an editor.
    if (::access(path.c_str(), W_OK) != 0) return CannotWrite(errno);
    if (S_ISLNK(named.st_mode)) {
      // The link stays; the file it leads to is replaced.
      std::error_code error;
      plan.target = std::filesystem::canonical(path, error).string();
      if (error) return CannotWrite(error.message());
    }
    return WriteTemporary(calls, plan.target, bytes, size, &target, plan.temporary);
  }
  if (IsStream(target.st_mode)) return Result();
  if (S_ISDIR(target.st_mode)) return CannotWrite(EISDIR);
  return CannotWrite(message::kNotWritableKind.text);
}

// Removes the temporary files of plans from the first-th on.
void Discard(const FileCalls& calls, const std::vector<Planned>& plans, std::size_t first) {
  for (std::size_t k = first; k < plans.size(); ++k)
    if (!plans[k].temporary.empty()) calls.unlink(plans[k].temporary.c_str());
}

}  // namespace

Result WriteFileReplacing(const std::string& path, const std::uint8_t* bytes, std::size_t size,
                          const FileCalls& calls) {
  return WriteFilesReplacing({{path, bytes, size}}, calls);
}

Result WriteFilesReplacing(const std::vector<FileContent>& files, const FileCalls& calls) {
  std::vector<Planned> plans;
  for (const FileContent& file : files) {
    Planned plan{&file, std::string(), std::string()};
    const Result planned = Plan(calls, plan);
    if (!planned) {
      Discard(calls, plans, 0);
      return planned;
    }
    plans.push_back(std::move(plan));
  }
  // A stream keeps nothing to go back to: it is written once every file's
  // bytes are safe beside it, and before any of them takes its name.
  for (const Planned& plan : plans) {
    if (!plan.temporary.empty()) continue;
    const Result written = WriteThrough(calls, plan.target, plan.file->bytes, plan.file->size);
    if (!written) {
      Discard(calls, plans, 0);
      return written;
    }
  }
  for (std::size_t k = 0; k < plans.size(); ++k) {
    const Planned& plan = plans[k];
    if (plan.temporary.empty()) continue;
    if (calls.rename(plan.temporary.c_str(), plan.target.c_str()) != 0) {
      const int error = errno;
      Discard(calls, plans, k);
      return CannotWrite(error);
    }
  }
  for (const Planned& plan : plans)
    if (!plan.temporary.empty()) SyncFolderOf(calls, plan.target);
  return Result();
}

Result WriteNewFile(const std::string& path, const std::uint8_t* bytes, std::size_t size,
                    const FileCalls& calls) {
  struct stat existing {};
  if (::lstat(path.c_str(), &existing) == 0) return AlreadyExists(path);
  if (errno != ENOENT) return CannotWrite(errno);

  std::string temporary;
  Result written = WriteTemporary(calls, path, bytes, size, nullptr, temporary);
  if (!written) return written;
  if (calls.renameNoReplace(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    calls.unlink(temporary.c_str());
    return error == EEXIST ? AlreadyExists(path) : CannotWrite(error);
  }
  SyncFolderOf(calls, path);
  return Result();
}

bool NameIsTaken(const std::string& path) {
  struct stat named {};
  return ::lstat(path.c_str(), &named) == 0;
}
