#include <gtest/gtest.h>

#include <vector>

#include "AdapterCard.h"
#include "AdapterSession.h"
#include "CardFormat.h"
#include "ManualClock.h"
#include "ResultAssertion.h"
#include "ScratchDirectory.h"
#include "SimulatedAdapter.h"
#include "StatusCodes.h"

using Bytes = std::vector<std::uint8_t>;

namespace {
constexpr std::uint32_t kBlock = card_format::kBlockSize;

Bytes Pattern(std::size_t size, unsigned seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 31 + (i >> 9) + seed);
  return bytes;
}

struct Road {
  CManualClock clock;
  CSimulatedAdapter adapter{clock};
  CAdapterSession session{adapter, clock};
  CAdapterCard card{session, {0, 1}};
};
}  // namespace

TEST(SimulatedAdapter, ServesBlocksByteExactlyFromImagesAndMemory) {
  CScratchDirectory scratch;
  const std::string path = scratch.File("card.bin");
  const Bytes page = Pattern(card_format::kPageSize, 5);
  WriteBytes(path, page);
  Road road;
  road.adapter.Connect();  // the flush and the null packet come before any reply
  ASSERT_TRUE(Succeeded(road.adapter.InsertImage({0, 1}, path, ImageAccess::Write)));
  road.adapter.InsertCard({2, 2});
  std::uint8_t block[kBlock];
  for (std::size_t number : {0, 199, 255}) {
    ASSERT_TRUE(Succeeded(road.card.ReadBlock(static_cast<std::uint16_t>(number), block)));
    EXPECT_EQ(Bytes(block, block + kBlock),
              Bytes(page.begin() + number * kBlock, page.begin() + (number + 1) * kBlock));
  }
  const Bytes data = Pattern(kBlock, 77);
  ASSERT_TRUE(Succeeded(road.card.WriteBlock(17, data.data())));
  ASSERT_TRUE(Succeeded(road.adapter.Sync()));
  Bytes expected = page;
  std::copy(data.begin(), data.end(), expected.begin() + 17 * kBlock);
  EXPECT_EQ(ReadBytes(path), expected);
  EXPECT_EQ(Bytes(road.adapter.GetPage({0, 1}), road.adapter.GetPage({0, 1}) + page.size()),
            expected);
  // The fewest requests: one per block read, five frames and a read-back per block written.
  EXPECT_EQ(road.adapter.GetCounters().requests, 3u + 5u + 1u);
  EXPECT_EQ(road.session.GetCounters().dropped, 1u);  // the null packet

  CAdapterCard other(road.session, {2, 2});
  ASSERT_TRUE(Succeeded(other.WriteBlock(255, data.data())));
  EXPECT_EQ(Bytes(road.adapter.GetPage({2, 2}) + 255 * kBlock,
                  road.adapter.GetPage({2, 2}) + 256 * kBlock),
            data);
  std::vector<CardSlot> cards;
  ASSERT_TRUE(Succeeded(road.session.FindCards(cards)));
  EXPECT_EQ(cards, (std::vector<CardSlot>{{0, 1}, {2, 2}}));
  road.adapter.RemoveCard({2, 2});
  EXPECT_EQ(other.ReadBlock(0, block).Code(), status::kAdapterFailure);
}

TEST(SimulatedAdapter, EveryFaultEndsInAResultBeforeItsDeadline) {
  using Kind = AdapterFaults::Kind;
  struct Case {
    Kind kind;
    std::uint32_t readCode;
    std::uint32_t writeCode;
  };
  const Case cases[] = {
      {Kind::BadCrc, status::kAdapterNoReply, status::kAdapterNoReply},
      {Kind::BytesBefore, status::kNoError, status::kNoError},
      {Kind::Failure, status::kAdapterFailure, status::kAdapterFailure},
      {Kind::Silence, status::kAdapterNoReply, status::kAdapterNoReply},
      {Kind::TransmitAgain, status::kNoError, status::kAdapterTransmitAgain},
  };
  const Bytes data = Pattern(kBlock, 3);
  for (const Case& test : cases) {
    Road road;
    road.adapter.InsertCard({0, 1});
    road.session.SetTimeout(100000);
    road.adapter.Faults().kind = test.kind;
    road.adapter.Faults().readSize = 5;
    std::uint8_t block[kBlock];
    const std::int64_t start = road.clock.Now();
    Result read = road.card.ReadBlock(0, block);
    EXPECT_EQ(read ? status::kNoError : read.Code(), test.readCode) << static_cast<int>(test.kind);
    Result written = road.card.WriteBlock(9, data.data());
    EXPECT_EQ(written ? status::kNoError : written.Code(), test.writeCode)
        << static_cast<int>(test.kind);
    // Never longer than a deadline for each request a write may make.
    EXPECT_LE(road.clock.Now() - start, 20 * 100000) << static_cast<int>(test.kind);
  }
}

TEST(SimulatedAdapter, ACardPulledMidWriteLeavesTheBlockPartlyWrittenAndNamed) {
  Road road;
  road.adapter.InsertCard({0, 1});
  road.adapter.Faults() = {AdapterFaults::Kind::Silence, 2, -1, 0, false};
  const Bytes data(kBlock, 0x00);
  Result written = road.card.WriteBlock(42, data.data());
  EXPECT_EQ(written.Code(), status::kAdapterNoReply);
  EXPECT_EQ(written.Message().rfind("Block 42 of the memory card was not written.", 0), 0u);
  const std::uint8_t* block = road.adapter.GetPage({0, 1}) + 42 * kBlock;
  EXPECT_EQ(Bytes(block, block + 256), Bytes(256, 0x00));
  EXPECT_EQ(Bytes(block + 256, block + kBlock), Bytes(256, 0xFF));
}

TEST(SimulatedAdapter, ChecksPacketsAndPacingAsTheFirmwareDoes) {
  Road road;
  road.adapter.InsertCard({0, 1});
  Bytes request = adapter_packet::Build({1, 'X', {'V'}});
  request.back() ^= 0x01;
  ASSERT_TRUE(Succeeded(road.adapter.Write(request.data(), request.size())));
  Bytes arrived;
  ASSERT_TRUE(Succeeded(road.adapter.Read(arrived, road.clock.Now() + 1000)));
  EXPECT_TRUE(arrived.empty());
  EXPECT_EQ(road.adapter.GetCounters().badPackets, 1u);
  // Write frames too close together are asked for again.
  MapleFrame frame{0x0D, 0x01, 0x00, {2, maple::Location(0, 4)}};
  MapleFrame reply;
  ASSERT_TRUE(Succeeded(road.session.Maple(frame, reply)));
  EXPECT_EQ(reply.command, maple::kAcknowledge);
  EXPECT_EQ(reply.sender, 0x01);
  ASSERT_TRUE(Succeeded(road.session.Maple(frame, reply)));
  EXPECT_EQ(reply.command, maple::kTransmitAgain);
  // Replies that wait together may come last first; each finds its request.
  road.adapter.Faults().reverseOrder = true;
  std::uint32_t first = 0, second = 0;
  ASSERT_TRUE(Succeeded(road.session.Send('X', {'O'}, first)));
  ASSERT_TRUE(Succeeded(road.session.Send('X', {'V'}, second)));
  Bytes answer;
  ASSERT_TRUE(Succeeded(road.session.Await(first, answer)));
  EXPECT_EQ(answer, (Bytes{2, 2, 2, 2}));
  ASSERT_TRUE(Succeeded(road.session.Await(second, answer)));
  EXPECT_EQ(answer, (Bytes{1, 0}));
}
