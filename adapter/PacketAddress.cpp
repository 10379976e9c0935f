#include "PacketAddress.h"

namespace packet_address {

void Append(std::vector<std::uint8_t>& bytes, std::uint64_t address) {
  for (std::size_t i = 1; i < kMaxBytes && address > 0x7F; ++i) {
    bytes.push_back(static_cast<std::uint8_t>(0x80 | (address & 0x7F)));
    address >>= 7;
  }
  bytes.push_back(static_cast<std::uint8_t>(address));
}

bool Parse(const std::uint8_t* bytes, std::size_t size, std::uint64_t& address, std::size_t& used) {
  address = 0;
  for (std::size_t i = 0; i < size && i < kMaxBytes; ++i) {
    const bool last = i + 1 == kMaxBytes;
    const std::uint64_t group = last ? bytes[i] : bytes[i] & 0x7Fu;
    address |= group << (7 * i);
    if (last || (bytes[i] & 0x80) == 0) {
      used = i + 1;
      return true;
    }
  }
  return false;
}

}  // namespace packet_address
