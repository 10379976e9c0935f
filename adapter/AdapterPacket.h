#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One packet of the adapter's protocol, the same both ways: the magic, the
// size of what follows the size fields and its inverse (both big-endian),
// the return address, the command, the payload and the CRC (big-endian).
struct AdapterPacket {
  std::uint64_t address = 0;
  std::uint8_t command = 0;
  std::vector<std::uint8_t> payload;
};

namespace adapter_packet {
constexpr std::uint8_t kMagic[] = {0xDB, 0x8B, 0xAF, 0xD5};
constexpr std::size_t kHeaderSize = sizeof(kMagic) + 4;  // magic, size, inverse size
// The fewest bytes after the size fields: a one-byte address, the command, the CRC.
constexpr std::size_t kMinSize = 4;
// The most the parser waits for; the adapter takes no more than 1,100 bytes
// at once, and its longest reply (a Maple frame of 256 words) is shorter.
constexpr std::size_t kMaxSize = 1100;

// The request and reply commands.
constexpr std::uint8_t kMaple = '0';
constexpr std::uint8_t kExtended = 'X';
constexpr std::uint8_t kVersion = 'V';
constexpr std::uint8_t kAttached = '?';
constexpr std::uint8_t kPortStatus = 'O';
constexpr std::uint8_t kSuccess = 0x0A;
constexpr std::uint8_t kWarning = 0x0B;  // done, with a warning
constexpr std::uint8_t kFailure = 0x0F;  // one reason byte follows
constexpr std::uint8_t kInvalid = 0xFE;  // invalid or missing data
constexpr std::uint8_t kUnknown = 0xFF;  // unknown command; the byte follows

// The whole packet, ready to send.
std::vector<std::uint8_t> Build(const AdapterPacket& packet);
}  // namespace adapter_packet
