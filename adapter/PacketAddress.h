#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A packet's return address: base 128, the least significant group of seven
// bits first, bit 7 set in every byte that another follows. A ninth byte
// carries eight bits, so an address takes at most nine bytes. The adapter
// echoes the bytes unchanged, which lets a reply be matched to its request.
namespace packet_address {
constexpr std::size_t kMaxBytes = 9;

void Append(std::vector<std::uint8_t>& bytes, std::uint64_t address);

// Reads an address from the first of size bytes; used is how many it took.
// False when the bytes end before the address does.
bool Parse(const std::uint8_t* bytes, std::size_t size, std::uint64_t& address, std::size_t& used);
}  // namespace packet_address
