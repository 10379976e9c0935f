#include "CardFormat.h"

#include <array>
#include <cstring>
#include <utility>

#include "FileExtension.h"

namespace card_format {

// Written so that the compiler swaps whole words: every block read or
// written without the wire goes through here.
void ReverseGroups(std::uint8_t* bytes, std::size_t size) {
  for (std::size_t group = 0; group + 4 <= size; group += 4) {
    std::uint32_t word = 0;
    std::memcpy(&word, bytes + group, 4);
    word = (word >> 24) | ((word >> 8) & 0xFF00u) | ((word << 8) & 0xFF0000u) | (word << 24);
    std::memcpy(bytes + group, &word, 4);
  }
}

namespace {
// The CRC of each byte value followed by 0 to 7 zero bytes, so that eight
// bytes cost eight look-ups, not 64 shifts: Check works out the checksum of
// every data file on the page.
using CrcTables = std::array<std::array<std::uint16_t, 256>, 8>;
constexpr CrcTables MakeCrcTables() {
  CrcTables tables{};
  for (std::uint32_t byte = 0; byte < 256; ++byte) {
    std::uint32_t crc = byte << 8;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1;
    tables[0][byte] = static_cast<std::uint16_t>(crc);
  }
  for (std::size_t k = 1; k < 8; ++k) {
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
      const std::uint16_t before = tables[k - 1][byte];
      tables[k][byte] = static_cast<std::uint16_t>((before << 8) ^ tables[0][before >> 8]);
    }
  }
  return tables;
}
constexpr CrcTables kCrc = MakeCrcTables();
}  // namespace

std::uint16_t Crc16(const std::uint8_t* bytes, std::size_t size) {
  std::uint16_t crc = 0;
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    const std::uint8_t* b = bytes + i;
    crc = static_cast<std::uint16_t>(kCrc[7][b[0] ^ (crc >> 8)] ^ kCrc[6][b[1] ^ (crc & 0xFF)] ^
                                     kCrc[5][b[2]] ^ kCrc[4][b[3]] ^ kCrc[3][b[4]] ^ kCrc[2][b[5]] ^
                                     kCrc[1][b[6]] ^ kCrc[0][b[7]]);
  }
  for (; i < size; ++i)
    crc = static_cast<std::uint16_t>((crc << 8) ^ kCrc[0][(crc >> 8) ^ bytes[i]]);
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
