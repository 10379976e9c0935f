#include "VmuLink.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "FakeCounter.h"
#include "RecordingPortRoad.h"
#include "SimulatedCard.h"
#include "SimulatedPortRoad.h"
#include "WireDecoder.h"

namespace {

// A link to the simulated card, with every register access recorded.
class LinkOverSimulatedCard : public ::testing::Test {
 protected:
  LinkOverSimulatedCard() {
    auto recorder = std::make_unique<CRecordingPortRoad>(&simRoad_);
    recorder_ = recorder.get();
    link_ = std::make_unique<CVmuLink>(std::move(recorder));
    link_->SetDelayFactor(0);
    link_->SetTimeout(2000);
  }

  std::vector<DecodedTransaction> Transactions() const {
    return DecodeTransactions(recorder_->GetRecords());
  }
  std::uint8_t* Page(std::uint32_t page = 0) { return card_.GetPage(page); }

  CSimulatedCard card_;
  CSimulatedPortRoad simRoad_{card_};
  CRecordingPortRoad* recorder_ = nullptr;
  std::unique_ptr<CVmuLink> link_;
};

std::uint8_t XorOf(const std::vector<std::uint8_t>& bytes, std::size_t begin, std::size_t end) {
  std::uint8_t sum = 0;
  for (std::size_t i = begin; i < end; ++i)
    sum ^= bytes[i];
  return sum;
}

}  // namespace

TEST_F(LinkOverSimulatedCard, ByteExchangeClocksEachBitOutMostSignificantFirst) {
  std::array<std::uint8_t, 128> unit{};
  unit[0] = 0xA5;
  ASSERT_TRUE(link_->Write(0, unit.data(), 128, false));

  const auto transactions = Transactions();
  ASSERT_EQ(transactions.size(), 1u);
  const auto& exchange = transactions[0].dataWrites[6];  // after 2 command and 4 address bytes
  const std::vector<std::uint8_t> expected = {0x02, 0x03, 0x00, 0x01, 0x02, 0x03, 0x00, 0x01,
                                              0x00, 0x01, 0x02, 0x03, 0x00, 0x01, 0x02, 0x03};
  EXPECT_EQ(exchange, expected);
  for (const auto& reads : transactions[0].statusReads)
    EXPECT_EQ(reads.size(), 8u);
  EXPECT_EQ(Page()[0], 0xA5);
}

TEST_F(LinkOverSimulatedCard, ReceivedBitsBuildTheByteInArrivalOrder) {
  Page()[0] = 0x81;
  std::array<std::uint8_t, 4> buffer{};
  ASSERT_TRUE(link_->Read(0, buffer.data(), 4, false));
  EXPECT_EQ(buffer[0], 0x81);

  // Status bit 6 read high at the first and the last of the eight samples only.
  const auto transactions = Transactions();
  const auto& samples = transactions[0].statusReads[8];
  const std::vector<std::uint8_t> expected = {0x40, 0, 0, 0, 0, 0, 0, 0x40};
  EXPECT_EQ(samples, expected);
}

TEST_F(LinkOverSimulatedCard, SelectPageSendsPageAndChecksum) {
  const std::uint8_t checksums[] = {0x2A, 0x2B, 0x28, 0x29};
  for (std::uint16_t page = 0; page < 4; ++page) {
    recorder_->Clear();
    ASSERT_TRUE(link_->SelectPage(page)) << page;
    const auto transactions = Transactions();
    ASSERT_EQ(transactions.size(), 1u);
    const std::vector<std::uint8_t> sent = {0x40, 0x6A, static_cast<std::uint8_t>(page), 0x00,
                                            checksums[page]};
    EXPECT_EQ(transactions[0].sent, sent);
    EXPECT_EQ(card_.GetSelectedPage(), page);
  }
}

TEST_F(LinkOverSimulatedCard, ReadSendsHeaderThenEchoesAndChecksThem) {
  for (int i = 0; i < 512; ++i)
    Page()[255 * 512 + i] = static_cast<std::uint8_t>(i * 7 + 3);
  std::array<std::uint8_t, 512> block{};
  ASSERT_TRUE(link_->Read(0x1FE00, block.data(), 512, false));

  const auto transactions = Transactions();
  ASSERT_EQ(transactions.size(), 1u);
  const auto& sent = transactions[0].sent;
  const auto& received = transactions[0].received;
  ASSERT_EQ(sent.size(), 8u + 512 + 1);
  const std::vector<std::uint8_t> header = {0x02, 0xA9, 0x00, 0xFE, 0x01, 0x00, 0x00, 0x02};
  EXPECT_EQ(std::vector<std::uint8_t>(sent.begin(), sent.begin() + 8), header);
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

TEST_F(LinkOverSimulatedCard, SwapFlagReversesEachGroupOfFourBothWays) {
  const std::uint8_t group[] = {0x11, 0x22, 0x33, 0x44};
  std::memcpy(Page(), group, 4);

  std::array<std::uint8_t, 4> swapped{};
  ASSERT_TRUE(link_->Read(0, swapped.data(), 4, true));
  EXPECT_EQ(swapped, (std::array<std::uint8_t, 4>{0x44, 0x33, 0x22, 0x11}));
  const std::vector<std::uint8_t> echoes = {0x00, 0x11, 0x22, 0x33};
  const auto transactions = Transactions();
  const auto& sent = transactions[0].sent;
  EXPECT_EQ(std::vector<std::uint8_t>(sent.begin() + 8, sent.begin() + 12), echoes);

  std::array<std::uint8_t, 4> straight{};
  ASSERT_TRUE(link_->Read(0, straight.data(), 4, false));
  EXPECT_EQ(straight, (std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x44}));

  std::array<std::uint8_t, 128> unit{};
  for (int i = 0; i < 128; ++i)
    unit[i] = static_cast<std::uint8_t>(i);
  ASSERT_TRUE(link_->Write(256, unit.data(), 128, true));
  EXPECT_EQ(Page()[256], 3);
  EXPECT_EQ(Page()[259], 0);
  EXPECT_EQ(Page()[256 + 124], 127);
  ASSERT_TRUE(link_->Write(512, unit.data(), 128, false));
  EXPECT_EQ(Page()[512], 0);
  EXPECT_EQ(Page()[515], 3);
}

TEST_F(LinkOverSimulatedCard, WriteLengthsDecideTheUnits) {
  std::vector<std::uint8_t> data(512);
  for (std::size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<std::uint8_t>(i ^ 0x5A);

  EXPECT_FALSE(link_->Write(0, data.data(), 100, false));
  EXPECT_EQ(link_->GetLastStatus(), status::kWriteLength);
  EXPECT_TRUE(recorder_->GetRecords().empty());

  EXPECT_TRUE(link_->Write(0, data.data(), 0, false));
  EXPECT_TRUE(recorder_->GetRecords().empty());

  ASSERT_TRUE(link_->Write(0x1000, data.data(), 512, false));
  const auto transactions = Transactions();
  ASSERT_EQ(transactions.size(), 4u);
  for (std::uint32_t unit = 0; unit < 4; ++unit) {
    const auto& sent = transactions[unit].sent;
    ASSERT_EQ(sent.size(), 2u + 4 + 128 + 1);
    const std::uint32_t address = sent[2] | sent[3] << 8 | sent[4] << 16 | sent[5] << 24;
    EXPECT_EQ(address, 0x1000 + unit * 128);
    EXPECT_EQ(sent.back(), XorOf(sent, 0, sent.size() - 1));
  }
  EXPECT_EQ(0, std::memcmp(Page() + 0x1000, data.data(), 512));
}

TEST_F(LinkOverSimulatedCard, WrongAnswersEndTheTransaction) {
  card_.Faults().wrongAnswers = true;
  std::array<std::uint8_t, 128> unit{};
  EXPECT_FALSE(link_->Read(0, unit.data(), 4, false));
  EXPECT_EQ(link_->GetLastStatus(), status::kUnexpectedAnswer);
  EXPECT_EQ(recorder_->LastWritten(kControlRegister), 0x00);
  EXPECT_FALSE(link_->Write(0, unit.data(), 128, false));
  EXPECT_EQ(link_->GetLastStatus(), status::kUnexpectedAnswer);
  EXPECT_FALSE(link_->SelectPage(2));
  EXPECT_EQ(link_->GetLastStatus(), status::kUnexpectedAnswer);
  EXPECT_EQ(recorder_->LastWritten(kControlRegister), 0x00);
  // Only the command bytes were exchanged each time.
  for (const auto& transaction : Transactions())
    EXPECT_EQ(transaction.sent.size(), 2u);
}

TEST_F(LinkOverSimulatedCard, LastStatusSurvivesLaterSuccesses) {
  card_.Faults().noCard = true;
  EXPECT_FALSE(link_->SelectPage(0));
  EXPECT_EQ(link_->GetLastStatus(), status::kTimeout);
  card_.Faults().noCard = false;
  std::array<std::uint8_t, 4> buffer{};
  EXPECT_TRUE(link_->Read(0, buffer.data(), 4, false));
  EXPECT_TRUE(link_->SelectPage(0));
  EXPECT_EQ(link_->GetLastStatus(), status::kTimeout);
}

TEST_F(LinkOverSimulatedCard, ReadLengthsThatWouldOverrunAreRefusedBeforeAnyAccess) {
  std::vector<std::uint8_t> buffer(65536);
  for (std::uint32_t length : {1u, 2u, 3u, 510u, 65533u, 65536u, 0x10000004u}) {
    EXPECT_FALSE(link_->Read(0, buffer.data(), length, false)) << length;
    EXPECT_EQ(link_->GetLastStatus(), status::kNotSupported);
  }
  EXPECT_FALSE(link_->Read(0, nullptr, 4, false));
  EXPECT_TRUE(recorder_->GetRecords().empty());

  // The longest length that travels in 16 bits still works.
  for (std::uint32_t i = 0; i < 65532; ++i)
    Page()[i] = static_cast<std::uint8_t>(i / 3);
  ASSERT_TRUE(link_->Read(0, buffer.data(), 65532, false));
  EXPECT_EQ(0, std::memcmp(buffer.data(), Page(), 65532));
  EXPECT_TRUE(link_->Read(0, buffer.data(), 0, false));
}

// Handshake failures, with a counter that moves one microsecond per read so the
// number of polls is exact.
class LinkHandshake : public ::testing::Test {
 protected:
  LinkHandshake() : counter_(1000000, 1) {
    auto recorder = std::make_unique<CRecordingPortRoad>(&simRoad_);
    recorder_ = recorder.get();
    link_ = std::make_unique<CVmuLink>(std::move(recorder), counter_);
    link_->SetDelayFactor(0);
  }

  CSimulatedCard card_;
  CSimulatedPortRoad simRoad_{card_};
  CFakeCounter counter_;
  CRecordingPortRoad* recorder_ = nullptr;
  std::unique_ptr<CVmuLink> link_;
};

TEST_F(LinkHandshake, NoCardTimesOutInTheFirstWait) {
  card_.Faults().noCard = true;
  link_->SetTimeout(100);
  EXPECT_FALSE(link_->SelectPage(0));
  EXPECT_EQ(link_->GetLastStatus(), status::kTimeout);
  // Polls until the deadline, then one more read after the expiry is seen.
  const auto reads = recorder_->CountAccesses(false, kStatusRegister);
  EXPECT_GE(reads, 100u);
  EXPECT_LE(reads, 102u);
  // The line was never raised, and is released all the same.
  const auto& records = recorder_->GetRecords();
  EXPECT_EQ(recorder_->CountAccesses(true, kControlRegister), 1u);
  EXPECT_TRUE(records.back().write && records.back().offset == kControlRegister &&
              records.back().value == 0x00);
}

TEST_F(LinkHandshake, StatusStuckHighTimesOutInTheSecondWait) {
  card_.Faults().statusStuckHigh = true;
  link_->SetTimeout(100);
  std::array<std::uint8_t, 4> buffer{};
  EXPECT_FALSE(link_->Read(0, buffer.data(), 4, false));
  EXPECT_EQ(link_->GetLastStatus(), status::kTimeout);
  std::vector<std::uint8_t> controlWrites;
  for (const auto& record : recorder_->GetRecords()) {
    if (record.write && record.offset == kControlRegister) controlWrites.push_back(record.value);
  }
  EXPECT_EQ(controlWrites, (std::vector<std::uint8_t>{0x01, 0x00}));
  EXPECT_EQ(recorder_->CountAccesses(true, kDataRegister), 1u);  // only the handshake's clock
}

TEST_F(LinkHandshake, ZeroTimeoutStillReadsTwice) {
  card_.Faults().noCard = true;
  link_->SetTimeout(0);
  EXPECT_FALSE(link_->SelectPage(0));
  EXPECT_EQ(recorder_->CountAccesses(false, kStatusRegister), 2u);
}

TEST_F(LinkHandshake, TimeoutAppliesToEachWaitOnItsOwn) {
  // Each answer comes after 60 polls: within a 100 µs timeout per wait, although
  // the two waits together take longer than that.
  card_.Faults().slowHandshakeReads = 60;
  link_->SetTimeout(100);
  EXPECT_TRUE(link_->SelectPage(3));
  card_.Faults().slowHandshakeReads = 150;
  EXPECT_FALSE(link_->SelectPage(0));
  EXPECT_EQ(link_->GetLastStatus(), status::kTimeout);
  EXPECT_EQ(card_.GetSelectedPage(), 3u);
}
