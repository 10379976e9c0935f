#pragma once

#include <cstddef>
#include <cstdint>

// The check every adapter packet ends with: CRC-16/CCITT-FALSE (polynomial
// 0x1021, starting from 0xFFFF, most significant bit first, nothing
// reflected or inverted at the end), over the return address, the command
// and the payload. Not the file header's checksum, which starts from 0.
std::uint16_t PacketCrc(const std::uint8_t* bytes, std::size_t size, std::uint16_t crc = 0xFFFF);
