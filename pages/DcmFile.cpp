#include "DcmFile.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "PageImage.h"

namespace {
constexpr std::streamsize kPageBytes = CPageImage::kSize;

void RemovePartialFile(const std::string& path) {
  // Only a file of our own making: the path may name a device or a pipe.
  std::error_code error;
  if (std::filesystem::is_regular_file(path, error)) std::filesystem::remove(path, error);
}
}  // namespace

bool SaveDcmFile(const std::string& path, const std::uint8_t* page) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.is_open()) return false;
  out.write(reinterpret_cast<const char*>(page), kPageBytes);
  out.close();  // the buffered end reaches the disk here, and may fail here
  if (out.fail()) {
    RemovePartialFile(path);
    return false;
  }
  return true;
}

bool LoadDcmFile(const std::string& path, std::uint8_t* page) {
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return false;
  in.read(reinterpret_cast<char*>(page), kPageBytes);
  return in.gcount() == kPageBytes;
}
