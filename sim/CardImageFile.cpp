#include "CardImageFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "CardFormat.h"
#include "Messages.h"

namespace {

using card_format::kPageCount;
using card_format::kPageSize;
static_assert(kPageSize == 131072 && kPageCount == 4, "message::kImageSize names the sizes");

// 131072 -> "131,072", as the user reads sizes in messages.
std::string WithThousands(std::uintmax_t value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(at, ",");
  return digits;
}

// The operating system's reason for the last failed open or transfer, when the
// library left one in errno.
std::string Reason(int savedErrno, const char* fallback) {
  if (savedErrno == 0) return fallback;
  return std::error_code(savedErrno, std::generic_category()).message();
}

}  // namespace

Result CCardImageFile::Open(const std::string& path, std::vector<std::uint8_t>& pages) {
  card_format::ByteOrder order;
  if (!card_format::ImageOrderFor(path, order)) {
    return Result::Failure(Fill(message::kImageUnknownKind, {path}));
  }
  const bool storageOrder = order == card_format::ByteOrder::Storage;
  std::error_code status;
  if (!std::filesystem::exists(path, status)) {
    return Result::Failure(Fill(message::kImageCannotOpen,
                                {path, status ? status.message() : "there is no such file"}));
  }
  if (!std::filesystem::is_regular_file(path, status)) {
    return Result::Failure(Fill(message::kImageCannotOpen, {path, "it is not a file"}));
  }

  // Opened for writing as well from the start: every write unit goes to this
  // file, and a card that cannot keep what it is given must not be used.
  errno = 0;
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  if (!file) {
    return Result::Failure(
        Fill(message::kImageNotWritable, {path, Reason(errno, "access was refused")}));
  }
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  if (size != kPageSize && size != static_cast<std::streamoff>(kPageSize) * kPageCount) {
    return Result::Failure(
        Fill(message::kImageSize,
             {path, WithThousands(size < 0 ? 0 : static_cast<std::uintmax_t>(size))}));
  }

  std::vector<std::uint8_t> contents(static_cast<std::size_t>(size));
  file.seekg(0);
  errno = 0;
  if (!file.read(reinterpret_cast<char*>(contents.data()), size)) {
    return Result::Failure(
        Fill(message::kImageCannotRead, {path, Reason(errno, "the file ended early")}));
  }
  if (storageOrder) card_format::ReverseGroups(contents.data(), contents.size());

  file_ = std::move(file);
  path_ = path;
  pageCount_ = static_cast<std::uint32_t>(size / kPageSize);
  storageOrder_ = storageOrder;
  pages = std::move(contents);
  return Result();
}

Result CCardImageFile::WritePageBytes(std::uint32_t page, std::uint32_t offset,
                                      const std::uint8_t* wire, std::uint32_t length) {
  if (page >= pageCount_ || offset % 4 != 0 || length % 4 != 0 || offset > kPageSize ||
      length > kPageSize - offset) {
    return Result::Failure(
        Fill(message::kImageNoRoom, {path_, std::to_string(page + 1), std::to_string(offset)}));
  }
  file_.clear();
  errno = 0;
  file_.seekp(static_cast<std::streamoff>(page) * kPageSize + offset);
  std::array<std::uint8_t, card_format::kBlockSize> converted;
  for (std::uint32_t done = 0; done < length && file_;) {
    const std::uint32_t chunk = std::min<std::uint32_t>(length - done, converted.size());
    const std::uint8_t* bytes = wire + done;
    if (storageOrder_) {
      std::memcpy(converted.data(), bytes, chunk);
      card_format::ReverseGroups(converted.data(), chunk);
      bytes = converted.data();
    }
    file_.write(reinterpret_cast<const char*>(bytes), chunk);
    done += chunk;
  }
  file_.flush();
  if (!file_) {
    file_.clear();
    return Result::Failure(
        Fill(message::kImageCannotWrite, {path_, Reason(errno, "the write failed")}));
  }
  return Result();
}
