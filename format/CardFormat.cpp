#include "CardFormat.h"

#include <array>
#include <utility>

#include "FileExtension.h"

namespace card_format {

void ReverseGroups(std::uint8_t* bytes, std::size_t size) {
  for (std::size_t group = 0; group + 4 <= size; group += 4) {
    std::swap(bytes[group], bytes[group + 3]);
    std::swap(bytes[group + 1], bytes[group + 2]);
  }
}

namespace {
// The CRC of each byte value, so that a byte costs one look-up, not eight
// shifts: Check works out the checksum of every data file on the page.
constexpr std::array<std::uint16_t, 256> MakeCrcTable() {
  std::array<std::uint16_t, 256> table{};
  for (std::uint32_t byte = 0; byte < 256; ++byte) {
    std::uint32_t crc = byte << 8;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1;
    table[byte] = static_cast<std::uint16_t>(crc);
  }
  return table;
}
constexpr std::array<std::uint16_t, 256> kCrcTable = MakeCrcTable();
}  // namespace

std::uint16_t Crc16(const std::uint8_t* bytes, std::size_t size) {
  std::uint16_t crc = 0;
  for (std::size_t i = 0; i < size; ++i)
    crc = static_cast<std::uint16_t>((crc << 8) ^ kCrcTable[(crc >> 8) ^ bytes[i]]);
  return crc;
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
