#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "AdapterPacket.h"

// Takes bytes as they come from the adapter, however they are split across
// reads, and yields whole packets. Bytes before a magic (the zeros an adapter
// flushes with on connect, or noise) are skipped; a packet whose size and
// inverse do not match, whose size cannot be one, whose address runs into
// its CRC or whose CRC is wrong is dropped, and the search for the next magic
// starts just after the one that began it.
class CPacketParser {
 public:
  void Feed(const std::uint8_t* bytes, std::size_t size);
  // The next whole packet, if one has come.
  bool Next(AdapterPacket& packet);

  // Packets dropped for a bad size, address or CRC since the start.
  std::uint64_t GetDropped() const { return dropped_; }

 private:
  void Parse();
  bool ParseOne();  // false when more bytes are needed

  std::vector<std::uint8_t> buffer_;
  std::deque<AdapterPacket> ready_;
  std::uint64_t dropped_ = 0;
};
