#include "PacketCrc.h"

#include <array>

namespace {
// Each byte value's eight steps of the polynomial at once, so that a block's
// packet (over 500 bytes each way) costs a look-up a byte, not eight shifts.
constexpr std::array<std::uint16_t, 256> MakeTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned value = 0; value < table.size(); ++value) {
    auto crc = static_cast<std::uint16_t>(value << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<std::uint16_t>((crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    table[value] = crc;
  }
  return table;
}
constexpr std::array<std::uint16_t, 256> kTable = MakeTable();
}  // namespace

std::uint16_t PacketCrc(const std::uint8_t* bytes, std::size_t size, std::uint16_t crc) {
  for (std::size_t i = 0; i < size; ++i) {
    crc = static_cast<std::uint16_t>(crc << 8 ^ kTable[(crc >> 8 ^ bytes[i]) & 0xFF]);
  }
  return crc;
}
