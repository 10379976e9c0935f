#include "CardImageFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

// 131072 -> "131,072", as the user reads sizes in messages.
std::string WithThousands(std::uintmax_t value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(at, ",");
  return digits;
}

std::string LowerExtension(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

// The operating system's reason for the last failed open or transfer, when the
// library left one in errno.
std::string Reason(int savedErrno, const char* fallback) {
  if (savedErrno == 0) return fallback;
  return std::error_code(savedErrno, std::generic_category()).message();
}

// Storage order and wire order differ by the order inside each aligned group
// of four bytes; the same reversal converts either way. It may work in place.
void ReverseGroups(const std::uint8_t* from, std::uint8_t* to, std::size_t length) {
  for (std::size_t group = 0; group + 4 <= length; group += 4) {
    const std::uint8_t b0 = from[group], b1 = from[group + 1];
    const std::uint8_t b2 = from[group + 2], b3 = from[group + 3];
    to[group] = b3;
    to[group + 1] = b2;
    to[group + 2] = b1;
    to[group + 3] = b0;
  }
}

}  // namespace

bool CCardImageFile::Open(const std::string& path, std::vector<std::uint8_t>& pages,
                          std::string& error) {
  const std::string extension = LowerExtension(path);
  const bool storageOrder = extension == ".bin" || extension == ".vmu";
  if (!storageOrder && extension != ".dcm") {
    error = path +
            " is not a card image the simulated card knows: its name must end in .dcm (wire "
            "order) or .bin or .vmu (storage order).";
    return false;
  }
  std::error_code status;
  if (!std::filesystem::exists(path, status)) {
    error = path + " cannot be opened: " +
            (status ? status.message() : std::string("there is no such file")) + ".";
    return false;
  }
  if (!std::filesystem::is_regular_file(path, status)) {
    error = path + " cannot be opened: it is not a file.";
    return false;
  }

  // Opened for writing as well from the start: every write unit goes to this
  // file, and a card that cannot keep what it is given must not be used.
  errno = 0;
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  if (!file) {
    error = path +
            " cannot be opened for reading and writing: " + Reason(errno, "access was refused") +
            ".";
    return false;
  }
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  if (size != kPageSize && size != static_cast<std::streamoff>(kPageSize) * kMaxPages) {
    error = path + " holds " + WithThousands(size < 0 ? 0 : static_cast<std::uintmax_t>(size)) +
            " bytes; a card image holds " + WithThousands(kPageSize) + " (one page) or " +
            WithThousands(std::uintmax_t{kPageSize} * kMaxPages) + " (four pages).";
    return false;
  }

  std::vector<std::uint8_t> contents(static_cast<std::size_t>(size));
  file.seekg(0);
  errno = 0;
  if (!file.read(reinterpret_cast<char*>(contents.data()), size)) {
    error = path + " could not be read: " + Reason(errno, "the file ended early") + ".";
    return false;
  }
  if (storageOrder) ReverseGroups(contents.data(), contents.data(), contents.size());

  file_ = std::move(file);
  path_ = path;
  pageCount_ = static_cast<std::uint32_t>(size / kPageSize);
  storageOrder_ = storageOrder;
  pages = std::move(contents);
  return true;
}

bool CCardImageFile::WritePageBytes(std::uint32_t page, std::uint32_t offset,
                                    const std::uint8_t* wire, std::uint32_t length,
                                    std::string& error) {
  if (page >= pageCount_ || offset % 4 != 0 || length % 4 != 0 || offset > kPageSize ||
      length > kPageSize - offset) {
    error = path_ + " has no room at page " + std::to_string(page + 1) + ", offset " +
            std::to_string(offset) + ".";
    return false;
  }
  file_.clear();
  errno = 0;
  file_.seekp(static_cast<std::streamoff>(page) * kPageSize + offset);
  std::array<std::uint8_t, 512> converted;
  for (std::uint32_t done = 0; done < length && file_;) {
    const std::uint32_t chunk = std::min<std::uint32_t>(length - done, converted.size());
    const std::uint8_t* bytes = wire + done;
    if (storageOrder_) {
      ReverseGroups(bytes, converted.data(), chunk);
      bytes = converted.data();
    }
    file_.write(reinterpret_cast<const char*>(bytes), chunk);
    done += chunk;
  }
  file_.flush();
  if (!file_) {
    error = path_ + " could not be written: " + Reason(errno, "the write failed") + ".";
    file_.clear();
    return false;
  }
  return true;
}
