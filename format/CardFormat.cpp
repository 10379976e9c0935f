#include "CardFormat.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <utility>

namespace card_format {

void ReverseGroups(std::uint8_t* bytes, std::size_t size) {
  for (std::size_t group = 0; group + 4 <= size; group += 4) {
    std::swap(bytes[group], bytes[group + 3]);
    std::swap(bytes[group + 1], bytes[group + 2]);
  }
}

bool ImageOrderFor(const std::string& path, ByteOrder& order) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".dcm") {
    order = ByteOrder::kWire;
    return true;
  }
  if (extension == ".bin" || extension == ".vmu") {
    order = ByteOrder::kStorage;
    return true;
  }
  return false;
}

}  // namespace card_format
