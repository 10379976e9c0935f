// The input is bytes as the adapter's USB interface could deliver them: the
// first byte chooses how they are split across reads, the rest is the
// stream. Besides crashes, the target checks that every packet the parser
// yields is one a sender could have built: built again, it parses back to
// the same packet, alone and after the stream's own bytes; and that the
// stream, split otherwise, yields the same packets.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "AdapterPacket.h"
#include "FuzzCheck.h"
#include "PacketParser.h"

namespace {
std::vector<AdapterPacket> ParseAll(const std::uint8_t* data, std::size_t size, std::size_t piece) {
  CPacketParser parser;
  std::vector<AdapterPacket> packets;
  for (std::size_t at = 0; at < size; at += piece) {
    parser.Feed(data + at, std::min(piece, size - at));
    for (AdapterPacket packet; parser.Next(packet);)
      packets.push_back(packet);
  }
  return packets;
}

bool Same(const AdapterPacket& a, const AdapterPacket& b) {
  return a.address == b.address && a.command == b.command && a.payload == b.payload;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t piece = 1 + data[0] % 64u;
  const std::vector<AdapterPacket> split = ParseAll(data + 1, size - 1, piece);
  const std::vector<AdapterPacket> whole = ParseAll(data + 1, size - 1, size);
  Require(split.size() == whole.size(), "the packets depend on how the stream was split");
  for (std::size_t i = 0; i < split.size(); ++i) {
    Require(Same(split[i], whole[i]), "a packet depends on how the stream was split");
    const std::vector<std::uint8_t> built = adapter_packet::Build(split[i]);
    const std::vector<AdapterPacket> again = ParseAll(built.data(), built.size(), built.size());
    Require(again.size() == 1 && Same(again[0], split[i]), "a packet does not survive being built");
  }
  return 0;
}
