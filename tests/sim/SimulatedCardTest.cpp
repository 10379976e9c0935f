#include "SimulatedCard.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "FakeCounter.h"
#include "RecordingPortRoad.h"
#include "SimulatedPortRoad.h"
#include "StatusCodes.h"
#include "VmuLink.h"

namespace {

using Flip = CardFaults::FlipDirection;

// The real link over the card, with every register access recorded so tests
// can see where the control register was left.
class CardOverLink : public ::testing::Test {
 protected:
  CardOverLink() {
    auto recorder = std::make_unique<CRecordingPortRoad>(&road_);
    recorder_ = recorder.get();
    link_ = std::make_unique<CVmuLink>(std::move(recorder));
    link_->SetDelayFactor(0);
    link_->SetTimeout(1000);
  }

  std::vector<std::uint8_t> ReadBack(std::uint32_t address, std::uint32_t length) {
    std::vector<std::uint8_t> buffer(length);
    EXPECT_TRUE(link_->Read(address, buffer.data(), length, false));
    return buffer;
  }

  CSimulatedCard card_;
  CSimulatedPortRoad road_{card_};
  CRecordingPortRoad* recorder_ = nullptr;
  std::unique_ptr<CVmuLink> link_;
};

// The PC's side of the wire driven by hand, for what the link never does on
// its own: dropping the line halfway, or sending a command the card lacks.
class HandWire {
 public:
  explicit HandWire(CSimulatedCard& card) : card_(card) {}

  bool Begin() {
    card_.WriteData(0x01);
    if ((card_.ReadStatus() & 0x40) == 0) return false;
    card_.WriteControl(0x01);
    return (card_.ReadStatus() & 0x40) == 0;
  }
  std::uint8_t Exchange(std::uint8_t out) {
    std::uint8_t in = 0;
    for (int bit = 7; bit >= 0; --bit) {
      const std::uint8_t data = ((out >> bit) & 1) ? 0x02 : 0x00;
      card_.WriteData(data);
      card_.WriteData(data | 0x01);
      in = static_cast<std::uint8_t>((in << 1) | ((card_.ReadStatus() & 0x40) ? 1 : 0));
    }
    return in;
  }
  void End() { card_.WriteControl(0x00); }

 private:
  CSimulatedCard& card_;
};

std::array<std::uint8_t, 128> Unit(std::uint8_t seed) {
  std::array<std::uint8_t, 128> unit{};
  for (std::size_t i = 0; i < unit.size(); ++i)
    unit[i] = static_cast<std::uint8_t>(seed + i * 3);
  return unit;
}

}  // namespace

TEST_F(CardOverLink, AddressesWrapAtThePageEnd) {
  const auto unit = Unit(7);
  // 64 bytes before the end, so the unit runs on at the page's start; the
  // address's bits above the page are dropped.
  ASSERT_TRUE(link_->Write(CSimulatedCard::kPageSize * 3 - 64, unit.data(), 128, false));
  EXPECT_EQ(0, std::memcmp(card_.GetPage(0) + CSimulatedCard::kPageSize - 64, unit.data(), 64));
  EXPECT_EQ(0, std::memcmp(card_.GetPage(0), unit.data() + 64, 64));
  EXPECT_EQ(card_.GetPage(0)[64], 0xFF);

  const auto back = ReadBack(CSimulatedCard::kPageSize - 64, 128);
  EXPECT_EQ(0, std::memcmp(back.data(), unit.data(), 128));
}

TEST_F(CardOverLink, SelectedPageServesReadsAndWrites) {
  const auto unit = Unit(1);
  ASSERT_TRUE(link_->SelectPage(2));
  EXPECT_EQ(card_.GetSelectedPage(), 2u);
  ASSERT_TRUE(link_->Write(0x200, unit.data(), 128, false));
  EXPECT_EQ(0, std::memcmp(card_.GetPage(2) + 0x200, unit.data(), 128));
  EXPECT_EQ(card_.GetPage(0)[0x200], 0xFF);

  card_.GetPage(3)[5] = 0x33;
  ASSERT_TRUE(link_->SelectPage(3));
  EXPECT_EQ(ReadBack(4, 4)[1], 0x33);

  // A page the card lacks passes the checksum but selects nothing.
  EXPECT_TRUE(link_->SelectPage(4));
  EXPECT_TRUE(link_->SelectPage(0x100));
  EXPECT_EQ(card_.GetSelectedPage(), 3u);
  EXPECT_EQ(card_.GetCounters().pageSelects, 2u);
}

TEST_F(CardOverLink, DroppedLineDiscardsTheTransaction) {
  HandWire wire(card_);
  ASSERT_TRUE(wire.Begin());
  EXPECT_EQ(wire.Exchange(0x02), 0xA9);
  EXPECT_EQ(wire.Exchange(0x55), 0x55);
  for (int i = 0; i < 4 + 100; ++i)
    wire.Exchange(0x00);  // address 0, then most of a unit
  wire.End();
  EXPECT_EQ(card_.GetPage(0)[0], 0xFF);

  // Same with every byte sent, the line dropped just before the checksum.
  ASSERT_TRUE(wire.Begin());
  wire.Exchange(0x02);
  wire.Exchange(0x55);
  for (int i = 0; i < 4 + 128; ++i)
    wire.Exchange(0x00);
  wire.End();
  EXPECT_EQ(card_.GetPage(0)[0], 0xFF);
  EXPECT_EQ(card_.GetCounters().writeUnits, 0u);

  // The card starts afresh at the next handshake.
  const auto unit = Unit(9);
  ASSERT_TRUE(link_->Write(0, unit.data(), 128, false));
  EXPECT_EQ(card_.GetPage(0)[0], unit[0]);
}

TEST_F(CardOverLink, UnknownCommandChangesNothingAndFailsItsChecksum) {
  HandWire wire(card_);
  for (std::uint8_t second : {0x00, 0x02, 0xA9 ^ 0x01, 0x6A}) {
    ASSERT_TRUE(wire.Begin());
    std::uint8_t sum = 0x02 ^ second;
    EXPECT_EQ(wire.Exchange(0x02), 0xA9);
    EXPECT_EQ(wire.Exchange(second), 0x55);
    // Whichever exchange the PC meant for its checksum, the card's answer differs.
    const std::uint8_t body[] = {0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x5A, 0xFF};
    for (std::uint8_t byte : body) {
      EXPECT_NE(wire.Exchange(byte), sum);
      sum ^= byte;
    }
    EXPECT_NE(wire.Exchange(sum), sum);
    wire.End();
  }
  EXPECT_EQ(card_.GetPage(0)[0], 0xFF);
  EXPECT_EQ(card_.GetSelectedPage(), 0u);
  const auto counters = card_.GetCounters();
  EXPECT_EQ(counters.transactions, 4u);
  EXPECT_EQ(counters.reads + counters.writeUnits + counters.pageSelects, 0u);
}

TEST_F(CardOverLink, BytesAfterTheChecksumAnswerZeroAndChangeNothing) {
  HandWire wire(card_);
  ASSERT_TRUE(wire.Begin());
  wire.Exchange(0x40);
  wire.Exchange(0x6A);
  wire.Exchange(0x01);
  wire.Exchange(0x00);
  EXPECT_EQ(wire.Exchange(0x2B), 0x2B);
  EXPECT_EQ(card_.GetSelectedPage(), 1u);
  EXPECT_EQ(wire.Exchange(0x02), 0x00);
  EXPECT_EQ(wire.Exchange(0x40), 0x00);
  wire.End();
  EXPECT_EQ(card_.GetSelectedPage(), 1u);
  EXPECT_EQ(card_.GetCounters().pageSelects, 1u);
}

TEST_F(CardOverLink, WrongAnswersEndTheTransactionAndStoreNothing) {
  card_.Faults().wrongAnswers = true;
  const auto unit = Unit(3);
  std::array<std::uint8_t, 4> buffer{};
  EXPECT_FALSE(link_->Read(0, buffer.data(), 4, false));
  EXPECT_EQ(link_->GetLastStatus(), status::kUnexpectedAnswer);
  EXPECT_FALSE(link_->Write(0, unit.data(), 128, false));
  EXPECT_EQ(link_->GetLastStatus(), status::kUnexpectedAnswer);
  EXPECT_EQ(recorder_->LastWritten(kControlRegister), 0x00);
  EXPECT_EQ(card_.GetPage(0)[0], 0xFF);

  card_.Faults().wrongAnswers = false;
  EXPECT_TRUE(link_->Write(0, unit.data(), 128, false));
  EXPECT_EQ(card_.GetPage(0)[0], unit[0]);
}

TEST_F(CardOverLink, WrongChecksumFailsReadsAndSelectsButNotWrites) {
  card_.Faults().wrongChecksum = true;
  std::array<std::uint8_t, 8> buffer{};
  EXPECT_FALSE(link_->Read(0, buffer.data(), 8, false));
  EXPECT_EQ(link_->GetLastStatus(), status::kBadChecksum);
  EXPECT_FALSE(link_->SelectPage(1));
  EXPECT_EQ(link_->GetLastStatus(), status::kBadChecksum);
  // Only the answer was wrong: the card took the page all the same.
  EXPECT_EQ(card_.GetSelectedPage(), 1u);

  const auto unit = Unit(5);
  EXPECT_TRUE(link_->Write(0x80, unit.data(), 128, false));
  EXPECT_EQ(0, std::memcmp(card_.GetPage(1) + 0x80, unit.data(), 128));
}

TEST_F(CardOverLink, FlippedBitsAreCaughtEitherWay) {
  card_.Faults().flipDirection = Flip::ToPc;
  card_.Faults().flipByte = 8 + 10;  // the eleventh data byte of a read
  card_.Faults().flipMask = 0x04;
  std::vector<std::uint8_t> buffer(64);
  EXPECT_FALSE(link_->Read(0, buffer.data(), 64, false));
  EXPECT_EQ(link_->GetLastStatus(), status::kBadChecksum);
  EXPECT_EQ(buffer[10], 0xFF ^ 0x04);  // the PC did see the corrupted byte

  card_.Faults().flipDirection = Flip::FromPc;
  card_.Faults().flipByte = 3;  // the second address byte
  EXPECT_FALSE(link_->Read(0, buffer.data(), 64, false));
  EXPECT_EQ(link_->GetLastStatus(), status::kBadChecksum);

  // A write unit does not look at the answer, but the card keeps nothing.
  const auto unit = Unit(11);
  EXPECT_TRUE(link_->Write(0, unit.data(), 128, false));
  EXPECT_EQ(card_.GetPage(0)[0], 0xFF);
  EXPECT_EQ(card_.GetPage(0)[0x400], 0xFF);

  // Each corrupted command byte either way gives a failure, never a success.
  for (Flip direction : {Flip::ToPc, Flip::FromPc}) {
    for (std::uint32_t byte : {0u, 1u}) {
      card_.Faults().flipDirection = direction;
      card_.Faults().flipByte = byte;
      card_.Faults().flipMask = 0xFF;
      EXPECT_FALSE(link_->Read(0, buffer.data(), 64, false)) << byte;
      EXPECT_FALSE(link_->SelectPage(2)) << byte;
    }
  }
  EXPECT_EQ(card_.GetSelectedPage(), 0u);
}

TEST_F(CardOverLink, FlipHitsOnlyTheChosenTransaction) {
  card_.Faults().flipDirection = Flip::FromPc;
  card_.Faults().flipTransaction = 1;
  card_.Faults().flipByte = 2;  // the page number
  EXPECT_TRUE(link_->SelectPage(1));
  EXPECT_FALSE(link_->SelectPage(2));
  EXPECT_TRUE(link_->SelectPage(3));
  EXPECT_EQ(card_.GetSelectedPage(), 3u);
}

TEST_F(CardOverLink, SilentCardAnswersItsFirstTransactionsOnly) {
  card_.Faults().silentAfter = 2;
  EXPECT_TRUE(link_->SelectPage(1));
  EXPECT_TRUE(link_->SelectPage(2));
  EXPECT_FALSE(link_->SelectPage(3));
  EXPECT_EQ(link_->GetLastStatus(), status::kTimeout);
  EXPECT_EQ(card_.GetSelectedPage(), 2u);
  EXPECT_EQ(card_.GetCounters().transactions, 2u);
}

TEST(SimulatedCardHandshake, SlowAnswerWithinTheTimeoutStillSucceeds) {
  // The counter moves one microsecond per read, so the polls are counted exactly.
  CSimulatedCard card;
  CSimulatedPortRoad road(card);
  CFakeCounter counter(1000000, 1);
  auto recorder = std::make_unique<CRecordingPortRoad>(&road);
  const CRecordingPortRoad& records = *recorder;
  CVmuLink link(std::move(recorder), counter);
  link.SetDelayFactor(0);
  link.SetTimeout(50);

  card.Faults().slowHandshakeReads = 30;
  EXPECT_TRUE(link.SelectPage(1));
  // Both steps held their answer back for 30 reads; then 5 exchanges of 8 bits.
  EXPECT_EQ(records.CountAccesses(false, kStatusRegister), 2u * 31 + 5 * 8);
  card.Faults().slowHandshakeReads = 80;
  EXPECT_FALSE(link.SelectPage(2));
  EXPECT_EQ(link.GetLastStatus(), status::kTimeout);
  EXPECT_EQ(card.GetSelectedPage(), 1u);
}

TEST_F(CardOverLink, CountersFollowWhatTheCardDid) {
  std::vector<std::uint8_t> data(384, 0x12);
  std::array<std::uint8_t, 8> buffer{};
  ASSERT_TRUE(link_->Read(0, buffer.data(), 8, true));
  ASSERT_TRUE(link_->Write(0, data.data(), 384, false));
  ASSERT_TRUE(link_->SelectPage(1));
  ASSERT_TRUE(link_->Read(0, buffer.data(), 0, false));
  card_.Faults().flipDirection = Flip::ToPc;
  card_.Faults().flipByte = 9;
  EXPECT_FALSE(link_->Read(0, buffer.data(), 8, false));
  card_.Faults().flipDirection = Flip::None;
  card_.Faults().noCard = true;
  EXPECT_FALSE(link_->SelectPage(0));

  auto counters = card_.GetCounters();
  EXPECT_EQ(counters.transactions, 7u);
  EXPECT_EQ(counters.reads, 2u);
  EXPECT_EQ(counters.writeUnits, 3u);
  EXPECT_EQ(counters.pageSelects, 1u);
  EXPECT_EQ(counters.badChecksums, 1u);

  card_.ResetCounters();
  counters = card_.GetCounters();
  EXPECT_EQ(counters.transactions + counters.reads + counters.writeUnits + counters.pageSelects +
                counters.badChecksums,
            0u);
}
