#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "AdapterPacket.h"
#include "PacketAddress.h"
#include "PacketCrc.h"
#include "PacketParser.h"

using Bytes = std::vector<std::uint8_t>;

namespace {
const Bytes kVersionRequest = {0xDB, 0x8B, 0xAF, 0xD5, 0x00, 0x05, 0xFF,
                               0xFA, 0x01, 0x58, 0x56, 0x46, 0x89};
const Bytes kVersionReply = {0xDB, 0x8B, 0xAF, 0xD5, 0x00, 0x06, 0xFF,
                             0xF9, 0x01, 0x0A, 0x01, 0x00, 0x06, 0x84};

std::vector<AdapterPacket> ParseAll(CPacketParser& parser, const Bytes& bytes, std::size_t chunk) {
  for (std::size_t at = 0; at < bytes.size(); at += chunk) {
    parser.Feed(bytes.data() + at, std::min(chunk, bytes.size() - at));
  }
  std::vector<AdapterPacket> packets;
  AdapterPacket packet;
  while (parser.Next(packet))
    packets.push_back(packet);
  return packets;
}
}  // namespace

TEST(AdapterPacket, BuildsTheKnownPacketsByteForByte) {
  const Bytes payload = {0x01, 0x02, 0x10, 0x20};
  EXPECT_EQ(adapter_packet::Build({0x5A, 0xA5, payload}),
            (Bytes{0xDB, 0x8B, 0xAF, 0xD5, 0x00, 0x08, 0xFF, 0xF7, 0x5A, 0xA5, 0x01, 0x02, 0x10,
                   0x20, 0xCE, 0x70}));
  EXPECT_EQ(adapter_packet::Build({1, 'X', {'V'}}), kVersionRequest);
  const Bytes check = {0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39};
  EXPECT_EQ(PacketCrc(check.data(), check.size()), 0x29B1);  // the CRC's catalogue value
}

TEST(AdapterPacket, ReturnAddressesTravelInBase128) {
  const std::pair<std::uint64_t, Bytes> cases[] = {
      {1, {0x01}},
      {0x7F, {0x7F}},
      {0x80, {0x80, 0x01}},
      {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
      {~std::uint64_t{0}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
  };
  for (const auto& [address, bytes] : cases) {
    Bytes built;
    packet_address::Append(built, address);
    EXPECT_EQ(built, bytes) << address;
    std::uint64_t parsed = 0;
    std::size_t used = 0;
    ASSERT_TRUE(packet_address::Parse(bytes.data(), bytes.size(), parsed, used));
    EXPECT_EQ(parsed, address);
    EXPECT_EQ(used, bytes.size());
    EXPECT_FALSE(packet_address::Parse(bytes.data(), bytes.size() - 1, parsed, used));
  }
}

TEST(PacketParser, TakesPacketsHoweverTheyAreSplitOrMerged) {
  const Bytes twice = [] {
    Bytes bytes = kVersionReply;
    const Bytes second = adapter_packet::Build({0x0FFFFFFF, 0x0F, {4}});
    bytes.insert(bytes.end(), second.begin(), second.end());
    return bytes;
  }();
  for (std::size_t chunk : {std::size_t{1}, std::size_t{3}, std::size_t{7}, twice.size()}) {
    CPacketParser parser;
    const std::vector<AdapterPacket> packets = ParseAll(parser, twice, chunk);
    ASSERT_EQ(packets.size(), 2u) << chunk;
    EXPECT_EQ(packets[0].address, 1u);
    EXPECT_EQ(packets[0].command, 0x0A);
    EXPECT_EQ(packets[0].payload, (Bytes{0x01, 0x00}));
    EXPECT_EQ(packets[1].address, 0x0FFFFFFFu);
    EXPECT_EQ(packets[1].payload, (Bytes{4}));
    EXPECT_EQ(parser.GetDropped(), 0u);
  }
}

TEST(PacketParser, SkipsNoiseAndDropsBrokenPacketsUpToTheNextMagic) {
  Bytes stream(300, 0x00);                                      // an adapter's flush on connect
  stream.insert(stream.end(), {0xDB, 0x8B, 0xAF, 0x00, 0xDB});  // a magic broken off
  Bytes badInverse = kVersionReply;
  badInverse[7] ^= 0x01;
  Bytes badCrc = kVersionReply;
  badCrc.back() ^= 0x01;
  Bytes tooLong = adapter_packet::Build({2, 0x0A, {}});
  tooLong[4] = 0x7F;  // a size past what the adapter sends, with its inverse
  tooLong[6] = 0x80;
  for (const Bytes* part :
       std::initializer_list<const Bytes*>{&badInverse, &badCrc, &tooLong, &kVersionReply}) {
    stream.insert(stream.end(), part->begin(), part->end());
  }
  for (std::size_t chunk : {std::size_t{1}, std::size_t{64}, stream.size()}) {
    CPacketParser parser;
    const std::vector<AdapterPacket> packets = ParseAll(parser, stream, chunk);
    ASSERT_EQ(packets.size(), 1u) << chunk;
    EXPECT_EQ(packets[0].payload, (Bytes{0x01, 0x00}));
    EXPECT_EQ(parser.GetDropped(), 3u);
  }
}
