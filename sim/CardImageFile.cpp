#include "CardImageFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#include "CardFormat.h"
#include "FileReader.h"
#include "Messages.h"

namespace {

using card_format::kPageCount;
using card_format::kPageSize;
static_assert(kPageSize == 131072 && kPageCount == 4, "message::kImageSize names the sizes");

// 131072 -> "131,072", as the user reads sizes in messages.
std::string WithThousands(std::uintmax_t value) {
  std::string digits = std::to_string(value);
  for (std::size_t at = digits.size(); at > 3; at -= 3)
    digits.insert(at - 3, ",");
  return digits;
}

std::string SystemReason(int error) {
  return std::generic_category().message(error);
}

// Opens path for reading and writing when access asks for it and the file
// allows it, else for reading; writable tells which it got.
Result OpenFor(const std::string& path, ImageAccess access, const FileCalls& calls, int& fd,
               bool& writable) {
  auto cannotOpen = [&path](const Result& reason) {
    return Result::Failure(Fill(message::kImageCannotOpen, {path, reason.Message()}));
  };
  writable = false;
  if (access != ImageAccess::Read) {
    if (OpenRegularFile(path, O_RDWR, fd, calls)) {
      writable = true;
      return Result();
    }
  }
  // A file that opens for reading but not for writing is read-only to us.
  const Result opened = OpenRegularFile(path, O_RDONLY, fd, calls);
  if (!opened) return cannotOpen(opened);
  if (access == ImageAccess::Write) {
    calls.close(fd);
    fd = -1;
    return Result::Failure(CCardImageFile::ReadOnlyMessage(path));
  }
  return Result();
}

}  // namespace

CCardImageFile::CCardImageFile(const FileCalls& calls) : calls_(calls) {}

CCardImageFile::~CCardImageFile() {
  if (fd_ >= 0) calls_.close(fd_);
}

std::string CCardImageFile::ReadOnlyMessage(const std::string& path) {
  return Fill(message::kImageReadOnly, {path});
}

Result CCardImageFile::Open(const std::string& path, ImageAccess access,
                            std::vector<std::uint8_t>& pages) {
  card_format::ByteOrder order;
  if (!card_format::ImageOrderFor(path, order)) {
    return Result::Failure(Fill(message::kImageUnknownKind, {path}));
  }
  int fd = -1;
  bool writable = false;
  const Result opened = OpenFor(path, access, calls_, fd, writable);
  if (!opened) return opened;
  // From here on the descriptor is closed on every way out but success.
  auto refuse = [this, &fd](std::string message) {
    calls_.close(fd);
    return Result::Failure(std::move(message));
  };

  // Taken at once or not at all: a command that waited for another program
  // would seem to hang. A file system without locks does without them.
  if (calls_.flock(fd, (writable ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    return refuse(Fill(message::kImageInUse, {path}));
  }

  struct stat status {};
  if (calls_.fstat(fd, &status) != 0)
    return refuse(Fill(message::kImageCannotOpen, {path, SystemReason(errno)}));
  const std::uintmax_t size = status.st_size < 0 ? 0 : static_cast<std::uintmax_t>(status.st_size);
  if (size != kPageSize && size != std::uintmax_t{kPageSize} * kPageCount) {
    return refuse(Fill(message::kImageSize, {path, WithThousands(size)}));
  }
  std::vector<std::uint8_t> contents(static_cast<std::size_t>(size));
  std::size_t done = 0;
  const Result read = ReadUpTo(fd, contents.data(), contents.size(), done, calls_);
  if (!read) return refuse(Fill(message::kImageCannotRead, {path, read.Message()}));
  if (done != contents.size())
    return refuse(Fill(message::kImageCannotRead, {path, "the file ended early"}));
  if (order == card_format::ByteOrder::Storage) {
    card_format::ReverseGroups(contents.data(), contents.size());
  }

  if (fd_ >= 0) calls_.close(fd_);
  fd_ = fd;
  path_ = path;
  pageCount_ = static_cast<std::uint32_t>(size / kPageSize);
  storageOrder_ = order == card_format::ByteOrder::Storage;
  writable_ = writable;
  unsynced_ = false;
  device_ = status.st_dev;
  inode_ = status.st_ino;
  pages = std::move(contents);
  return Result();
}

bool CCardImageFile::IsNamedBy(const std::string& path) const {
  struct stat named {};
  return fd_ >= 0 && ::stat(path.c_str(), &named) == 0 && named.st_dev == device_ &&
         named.st_ino == inode_;
}

Result CCardImageFile::WritePageBytes(std::uint32_t page, std::uint32_t offset,
                                      const std::uint8_t* wire, std::uint32_t length) {
  if (page >= pageCount_ || offset % 4 != 0 || length % 4 != 0 || offset > kPageSize ||
      length > kPageSize - offset) {
    return Result::Failure(
        Fill(message::kImageNoRoom, {path_, std::to_string(page + 1), std::to_string(offset)}));
  }
  if (!writable_) return Result::Failure(ReadOnlyMessage(path_));
  auto failed = [this](int error) {
    return Result::Failure(Fill(message::kImageCannotWrite, {path_, SystemReason(error)}));
  };
  if (calls_.lseek(fd_, std::int64_t{page} * kPageSize + offset, SEEK_SET) < 0) {
    return failed(errno);
  }
  unsynced_ = true;
  std::array<std::uint8_t, card_format::kBlockSize> converted;
  for (std::uint32_t done = 0; done < length;) {
    const std::uint32_t chunk = std::min<std::uint32_t>(length - done, converted.size());
    const std::uint8_t* bytes = wire + done;
    if (storageOrder_) {
      std::memcpy(converted.data(), bytes, chunk);
      card_format::ReverseGroups(converted.data(), chunk);
      bytes = converted.data();
    }
    for (std::uint32_t sent = 0; sent < chunk;) {
      const long written = calls_.write(fd_, bytes + sent, chunk - sent);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return failed(written < 0 ? errno : EIO);
      sent += static_cast<std::uint32_t>(written);
    }
    done += chunk;
  }
  return Result();
}

Result CCardImageFile::Sync() {
  if (!unsynced_) return Result();
  if (calls_.dataSync(fd_) != 0) {
    return Result::Failure(Fill(message::kImageCannotSync, {path_, SystemReason(errno)}));
  }
  unsynced_ = false;
  return Result();
}
