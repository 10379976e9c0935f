#pragma once

#include <cstdint>

// The bytes of the card's protocol, as both the link and the simulated card
// speak it: the two command bytes of each transaction, and the card's two
// answers to them.
namespace card_protocol {
constexpr std::uint8_t kFirstAnswer = 0xA9;
constexpr std::uint8_t kSecondAnswer = 0x55;
constexpr std::uint8_t kReadCommand[] = {0x02, 0xA9};
constexpr std::uint8_t kWriteCommand[] = {0x02, 0x55};
constexpr std::uint8_t kPageCommand[] = {0x40, 0x6A};
}  // namespace card_protocol
