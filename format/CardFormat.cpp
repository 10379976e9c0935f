#include "CardFormat.h"

#include <utility>

#include "FileExtension.h"

namespace card_format {

void ReverseGroups(std::uint8_t* bytes, std::size_t size) {
  for (std::size_t group = 0; group + 4 <= size; group += 4) {
    std::swap(bytes[group], bytes[group + 3]);
    std::swap(bytes[group + 1], bytes[group + 2]);
  }
}

std::uint16_t Crc16(const std::uint8_t* bytes, std::size_t size) {
  std::uint32_t crc = 0;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= std::uint32_t{bytes[i]} << 8;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1;
  }
  return static_cast<std::uint16_t>(crc);
}

std::string DisplayName(const std::string& nameBytes) {
  std::string name = nameBytes.substr(0, nameBytes.find('\0'));
  return name.erase(name.find_last_not_of(' ') + 1);
}

bool ImageOrderFor(const std::string& path, ByteOrder& order) {
  if (HasExtension(path, "dcm")) {
    order = ByteOrder::Wire;
    return true;
  }
  if (HasExtension(path, "bin") || HasExtension(path, "vmu") || HasExtension(path, "vmd")) {
    order = ByteOrder::Storage;
    return true;
  }
  return false;
}

}  // namespace card_format
