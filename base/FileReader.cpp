#include "FileReader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "Messages.h"

namespace {

Result Refuse(int error) {
  return Result::Failure(std::generic_category().message(error), static_cast<std::uint32_t>(error));
}

Result RefuseKind(mode_t mode) {
  if (S_ISDIR(mode)) return Result::Failure(message::kIsFolder.text);
  if (S_ISFIFO(mode)) return Result::Failure(message::kIsPipe.text);
  if (S_ISCHR(mode) || S_ISBLK(mode)) return Result::Failure(message::kIsDevice.text);
  if (S_ISSOCK(mode)) return Result::Failure(message::kIsSocket.text);
  return Result::Failure(message::kIsNoRegularFile.text);
}

}  // namespace

Result CheckRegularFile(const std::string& path) {
  struct stat named {};
  if (::stat(path.c_str(), &named) != 0) return Refuse(errno);
  if (!S_ISREG(named.st_mode)) return RefuseKind(named.st_mode);
  return Result();
}

Result OpenRegularFile(const std::string& path, int flags, int& fd, const FileCalls& calls) {
  // Anything but a file is refused before it is opened: opening a device can
  // act on it, and opening a pipe waits for a writer.
  if (Result regular = CheckRegularFile(path); !regular) return regular;

  // Whatever takes the name meanwhile is opened without waiting, and looked
  // at again through the descriptor.
  const int opened = calls.open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0);
  if (opened < 0) return Refuse(errno);
  struct stat status {};
  if (calls.fstat(opened, &status) != 0) {
    const int error = errno;
    calls.close(opened);
    return Refuse(error);
  }
  if (!S_ISREG(status.st_mode)) {
    const Result refusal = RefuseKind(status.st_mode);
    calls.close(opened);
    return refusal;
  }
  if (!BlockAgain(calls, opened)) {
    const int error = errno;
    calls.close(opened);
    return Refuse(error);
  }
  fd = opened;
  return Result();
}

Result ReadUpTo(int fd, std::uint8_t* bytes, std::size_t size, std::size_t& done,
                const FileCalls& calls) {
  done = 0;
  while (done < size) {
    const long got = calls.read(fd, bytes + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Refuse(errno);
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return Result();
}

Result ReadRegularFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                       std::size_t maxSize, const FileCalls& calls) {
  int fd = -1;
  Result result = OpenRegularFile(path, O_RDONLY, fd, calls);
  if (!result) return result;
  struct stat status {};
  // The file's size is a guide, not a promise: it may grow or shrink meanwhile.
  std::size_t expected = maxSize;
  if (calls.fstat(fd, &status) == 0 && status.st_size >= 0 &&
      static_cast<std::uintmax_t>(status.st_size) < maxSize) {
    expected = static_cast<std::size_t>(status.st_size);
  }
  std::vector<std::uint8_t> contents(expected);
  std::size_t done = 0;
  result = ReadUpTo(fd, contents.data(), contents.size(), done, calls);
  calls.close(fd);
  if (!result) return result;
  contents.resize(done);
  bytes = std::move(contents);
  return Result();
}
