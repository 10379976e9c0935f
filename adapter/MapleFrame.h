#pragma once

#include <cstdint>
#include <vector>

#include "CardSlot.h"

// A frame of the controller port's bus as the adapter passes it through: the
// frame word (command, recipient, sender, length in words) and the words
// that follow, each sent most significant byte first. The adapter puts its
// own host address in the sender byte; the port the sender names is the
// port the frame goes to.
struct MapleFrame {
  std::uint8_t command = 0;
  std::uint8_t recipient = 0;
  std::uint8_t sender = 0;
  std::vector<std::uint32_t> words;

  std::vector<std::uint8_t> Encode() const;
  // False when the bytes are no whole frame: not whole words, or a length
  // that is not the number of words that follow.
  bool Decode(const std::vector<std::uint8_t>& bytes);
};

// The bus addresses and the card's storage commands.
namespace maple {
constexpr std::uint8_t kDeviceInfo = 0x01;
constexpr std::uint8_t kAcknowledge = 0x07;
constexpr std::uint8_t kDataTransfer = 0x08;
constexpr std::uint8_t kBlockRead = 0x0B;
constexpr std::uint8_t kBlockWrite = 0x0C;
constexpr std::uint8_t kGetLastError = 0x0D;  // commits a written block
constexpr std::uint8_t kFunctionUnsupported = 0xFE;
constexpr std::uint8_t kUnknownCommand = 0xFD;
constexpr std::uint8_t kTransmitAgain = 0xFC;
constexpr std::uint8_t kFileError = 0xFB;

constexpr std::uint32_t kStorageFunction = 0x02;
constexpr std::uint32_t kScreenFunction = 0x04;
constexpr std::uint32_t kClockFunction = 0x08;
constexpr std::uint32_t kWritePhases = 4;  // a block is written in four parts, then committed
constexpr std::uint32_t kPhaseBytes = 128;
constexpr std::uint8_t kPortCount = 4;
constexpr std::uint8_t kSlotCount = 2;  // the slots a controller has for cards

// The port's bits in an address (A 0x00, B 0x40, C 0x80, D 0xC0), which is
// also the host's own address on that port.
constexpr std::uint8_t HostAddress(std::uint8_t port) {
  return static_cast<std::uint8_t>(port << 6);
}
// A card's address: slot 1 of port A is 0x01, slot 2 of port D 0xC2.
constexpr std::uint8_t CardAddress(CardSlot slot) {
  return static_cast<std::uint8_t>(HostAddress(slot.port) | 1u << (slot.slot - 1));
}
// A word as the bus sends it: most significant byte first.
inline std::uint32_t GetWord(const std::uint8_t* at) {
  return std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[2]} << 8 |
         at[3];
}
inline void PutWord(std::uint8_t* at, std::uint32_t word) {
  for (int i = 0; i < 4; ++i)
    at[i] = static_cast<std::uint8_t>(word >> (24 - 8 * i));
}
// Partition 0, the write phase (4 commits) and the block number.
constexpr std::uint32_t Location(std::uint16_t block, std::uint32_t phase) {
  return phase << 16 | block;
}
}  // namespace maple
