#include "AdapterPacket.h"

#include <iterator>

#include "PacketAddress.h"
#include "PacketCrc.h"

namespace adapter_packet {

namespace {
void AppendBe16(std::vector<std::uint8_t>& bytes, std::size_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
  bytes.push_back(static_cast<std::uint8_t>(value));
}
}  // namespace

std::vector<std::uint8_t> Build(const AdapterPacket& packet) {
  std::vector<std::uint8_t> body;
  packet_address::Append(body, packet.address);
  body.push_back(packet.command);
  body.insert(body.end(), packet.payload.begin(), packet.payload.end());
  const std::uint16_t crc = PacketCrc(body.data(), body.size());
  AppendBe16(body, crc);

  std::vector<std::uint8_t> bytes(std::begin(kMagic), std::end(kMagic));
  AppendBe16(bytes, body.size());
  AppendBe16(bytes, body.size() ^ 0xFFFF);
  bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

}  // namespace adapter_packet
