#include "VmuLink.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "CardOnSimulator.h"
#include "FakeCounter.h"
#include "WireDecoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The link to the simulated card, with every register access recorded.
class LinkOverSimulatedCard : public ::testing::Test {
 protected:
  std::vector<DecodedTransaction> Transactions() {
    return DecodeTransactions(sim_.Recorder().GetRecords());
  }
  std::uint8_t* Page(std::uint32_t page = 0) { return sim_.Sim().GetPage(page); }

  CCardOnSimulator sim_;
  CVmuLink& link_ = sim_.Link();
};

CardFaults Fault(bool CardFaults::*flag) {
  CardFaults faults;
  faults.*flag = true;
  return faults;
}

std::uint8_t XorOf(const Bytes& bytes, std::size_t begin, std::size_t end) {
  std::uint8_t sum = 0;
  for (std::size_t i = begin; i < end; ++i)
    sum ^= bytes[i];
  return sum;
}

}  // namespace

TEST_F(LinkOverSimulatedCard, EachByteCrossesMostSignificantBitFirst) {
  std::array<std::uint8_t, 128> unit{};
  unit[0] = 0xA5;
  ASSERT_TRUE(link_.Write(0, unit.data(), 128, false));
  auto transactions = Transactions();
  ASSERT_EQ(transactions.size(), 1u);
  // The seventh exchange, after 2 command and 4 address bytes: data, then clock.
  EXPECT_EQ(transactions[0].dataWrites[6], (Bytes{0x02, 0x03, 0x00, 0x01, 0x02, 0x03, 0x00, 0x01,
                                                  0x00, 0x01, 0x02, 0x03, 0x00, 0x01, 0x02, 0x03}));
  for (const auto& reads : transactions[0].statusReads)
    EXPECT_EQ(reads.size(), 8u);
  EXPECT_EQ(Page()[0], 0xA5);

  // Status bit 6 read high at the first and the last of the eight samples only.
  sim_.Recorder().Clear();
  Page()[0] = 0x81;
  std::array<std::uint8_t, 4> buffer{};
  ASSERT_TRUE(link_.Read(0, buffer.data(), 4, false));
  EXPECT_EQ(buffer[0], 0x81);
  EXPECT_EQ(Transactions()[0].statusReads[8], (Bytes{0x40, 0, 0, 0, 0, 0, 0, 0x40}));
}

TEST_F(LinkOverSimulatedCard, SelectPageSendsPageAndChecksum) {
  const std::uint8_t checksums[] = {0x2A, 0x2B, 0x28, 0x29};
  for (std::uint8_t page = 0; page < 4; ++page) {
    sim_.Recorder().Clear();
    ASSERT_TRUE(link_.SelectPage(page)) << int{page};
    const auto transactions = Transactions();
    ASSERT_EQ(transactions.size(), 1u);
    EXPECT_EQ(transactions[0].sent, (Bytes{0x40, 0x6A, page, 0x00, checksums[page]}));
    EXPECT_EQ(sim_.Sim().GetSelectedPage(), page);
  }
}

TEST_F(LinkOverSimulatedCard, ReadSendsHeaderThenEchoesAndChecksThem) {
  for (int i = 0; i < 512; ++i)
    Page()[255 * 512 + i] = static_cast<std::uint8_t>(i * 7 + 3);
  std::array<std::uint8_t, 512> block{};
  ASSERT_TRUE(link_.Read(0x1FE00, block.data(), 512, false));

  const auto transactions = Transactions();
  ASSERT_EQ(transactions.size(), 1u);
  const auto& sent = transactions[0].sent;
  const auto& received = transactions[0].received;
  ASSERT_EQ(sent.size(), 8u + 512 + 1);
  EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 8),
            (Bytes{0x02, 0xA9, 0x00, 0xFE, 0x01, 0x00, 0x00, 0x02}));
  EXPECT_EQ(XorOf(sent, 0, 8), 0x56);
  EXPECT_EQ(received[0], 0xA9);
  EXPECT_EQ(received[1], 0x55);

  // Each data exchange echoes the byte received in the one before.
  EXPECT_EQ(sent[8], 0x00);
  for (int i = 1; i < 512; ++i)
    ASSERT_EQ(sent[8 + i], received[8 + i - 1]) << i;
  // The checksum covers the header and every data byte but the last.
  EXPECT_EQ(sent.back(), 0x56 ^ XorOf(received, 8, 8 + 511));
  EXPECT_EQ(0, std::memcmp(block.data(), Page() + 0x1FE00, 512));
}

TEST_F(LinkOverSimulatedCard, SwapFlagReversesEachGroupOfFourReadAndEchoesTheWire) {
  const std::uint8_t group[] = {0x11, 0x22, 0x33, 0x44};
  std::memcpy(Page(), group, 4);
  std::array<std::uint8_t, 4> swapped{}, straight{};
  ASSERT_TRUE(link_.Read(0, swapped.data(), 4, true));
  EXPECT_EQ(swapped, (std::array<std::uint8_t, 4>{0x44, 0x33, 0x22, 0x11}));
  // The echoes are the bytes as they came off the wire.
  const auto sent = Transactions()[0].sent;
  EXPECT_EQ(Bytes(sent.begin() + 8, sent.begin() + 12), (Bytes{0x00, 0x11, 0x22, 0x33}));
  ASSERT_TRUE(link_.Read(0, straight.data(), 4, false));
  EXPECT_EQ(straight, (std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x44}));
  // Writes with the flag are checked with the card image, which holds both orders.
}

TEST_F(LinkOverSimulatedCard, WriteLengthsDecideTheUnits) {
  Bytes data(512);
  for (std::size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<std::uint8_t>(i ^ 0x5A);

  EXPECT_FALSE(link_.Write(0, data.data(), 100, false));
  EXPECT_EQ(link_.GetLastStatus(), status::kWriteLength);
  EXPECT_TRUE(link_.Write(0, data.data(), 0, false));
  EXPECT_TRUE(sim_.Recorder().GetRecords().empty());

  // A block goes as four units; the simulated card checks each one's sum.
  ASSERT_TRUE(link_.Write(0x1000, data.data(), 512, false));
  EXPECT_EQ(sim_.TakeTransfers(), CCardOnSimulator::BlockStore(8));
  EXPECT_EQ(0, std::memcmp(Page() + 0x1000, data.data(), 512));
}

// What each fault makes of each kind of transaction is checked for every
// command by the fault matrix; here, what is left once a fault has passed.
TEST_F(LinkOverSimulatedCard, AFaultLeavesOnlyItsStatusAndTheLineReleased) {
  std::array<std::uint8_t, 128> unit{};
  unit.fill(0x5A);
  std::array<std::uint8_t, 64> buffer{};
  sim_.Sim().Faults() = Fault(&CardFaults::wrongAnswers);
  EXPECT_FALSE(link_.Read(0, buffer.data(), 4, false));
  EXPECT_EQ(link_.GetLastStatus(), status::kUnexpectedAnswer);
  EXPECT_EQ(sim_.Recorder().Written(kControlRegister).back(), 0x00);
  // Wrong answers end the transaction right after the command.
  EXPECT_EQ(Transactions()[0].sent.size(), 2u);

  // Later successes keep the status of the failure.
  sim_.Sim().Faults() = CardFaults();
  EXPECT_TRUE(link_.SelectPage(0));
  EXPECT_TRUE(link_.Write(0x400, unit.data(), 128, false));
  EXPECT_EQ(Page()[0x400], 0x5A);
  EXPECT_EQ(link_.GetLastStatus(), status::kUnexpectedAnswer);
}

// Lengths that are not whole groups of four, or that do not travel in 16 bits,
// would overrun the caller's buffer.
TEST_F(LinkOverSimulatedCard, ReadLengthsThatWouldOverrunAreRefusedBeforeAnyAccess) {
  Bytes buffer(65536);
  for (std::uint32_t length : {1u, 2u, 3u, 510u, 65533u, 65536u, 0x10000004u}) {
    EXPECT_FALSE(link_.Read(0, buffer.data(), length, false)) << length;
    EXPECT_EQ(link_.GetLastStatus(), status::kNotSupported);
  }
  EXPECT_FALSE(link_.Read(0, nullptr, 4, false));
  EXPECT_TRUE(sim_.Recorder().GetRecords().empty());

  // The longest length that travels in 16 bits still works.
  for (std::uint32_t i = 0; i < 65532; ++i)
    Page()[i] = static_cast<std::uint8_t>(i / 3);
  ASSERT_TRUE(link_.Read(0, buffer.data(), 65532, false));
  EXPECT_EQ(0, std::memcmp(buffer.data(), Page(), 65532));
  EXPECT_TRUE(link_.Read(0, buffer.data(), 0, false));
}

// Handshake waits, with a counter that moves one microsecond per read so the
// number of polls is exact.
class LinkHandshake : public ::testing::Test {
 protected:
  CFakeCounter counter_{1000000, 1};
  CCardOnSimulator sim_{counter_};
  CSimulatedCard& card_ = sim_.Sim();
  CVmuLink* link_ = &sim_.Link();
  CRecordingPortRoad* recorder_ = &sim_.Recorder();
};

TEST_F(LinkHandshake, NoAnswerWaitsOutTheTimeoutAndReleasesTheLine) {
  card_.Faults().noCard = true;
  // Polls until the deadline, then once more after the expiry is seen; even
  // no time at all gets two reads.
  for (const auto [timeout, fewest, most] :
       {std::array<std::uint32_t, 3>{0, 2, 2}, {100, 100, 102}}) {
    recorder_->Clear();
    link_->SetTimeout(timeout);
    EXPECT_FALSE(link_->SelectPage(0));
    EXPECT_GE(recorder_->CountAccesses(false, kStatusRegister), fewest);
    EXPECT_LE(recorder_->CountAccesses(false, kStatusRegister), most);
    // The line was never raised, and is released all the same.
    EXPECT_EQ(recorder_->Written(kControlRegister), Bytes{0x00});
  }

  card_.Faults() = CardFaults();
  card_.Faults().statusStuckHigh = true;
  recorder_->Clear();
  std::array<std::uint8_t, 4> buffer{};
  EXPECT_FALSE(link_->Read(0, buffer.data(), 4, false));
  EXPECT_EQ(recorder_->Written(kControlRegister), (Bytes{0x01, 0x00}));
  EXPECT_EQ(recorder_->CountAccesses(true, kDataRegister), 1u);  // only the handshake's clock
}

TEST_F(LinkHandshake, TimeoutAppliesToEachWaitOnItsOwn) {
  // Each answer comes after 60 polls: within a 100 µs timeout per wait,
  // although the two waits together take longer than that.
  card_.Faults().slowHandshakeReads = 60;
  link_->SetTimeout(100);
  EXPECT_TRUE(link_->SelectPage(3));
  EXPECT_EQ(recorder_->CountAccesses(false, kStatusRegister), 2u * 61 + 5 * 8);
  card_.Faults().slowHandshakeReads = 150;
  EXPECT_FALSE(link_->SelectPage(0));
  EXPECT_EQ(link_->GetLastStatus(), status::kTimeout);
  EXPECT_EQ(card_.GetSelectedPage(), 3u);
}
