#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "PageCommands.h"
#include "ScriptedUser.h"
#include "StatusCodes.h"
#include "WireDecoder.h"

namespace {
using Words = std::vector<std::string>;

TEST(SetPageTest, SendsPageNumberLessOneAndRefusesOthersUntouched) {
  CSimulatedCard sim;
  CSimulatedPortRoad road(sim);
  auto owned = std::make_unique<CRecordingPortRoad>(&road);
  CRecordingPortRoad& recorder = *owned;
  CVmuCard card(std::move(owned));
  card.GetLink()->SetDelayFactor(0);
  CScriptedUser user;

  EXPECT_EQ(SetPage(card, 3, user), CommandResult::Done);  // Ctrl+3
  const auto transactions = DecodeTransactions(recorder.GetRecords());
  ASSERT_EQ(transactions.size(), 1u);
  EXPECT_EQ(transactions[0].sent, (std::vector<std::uint8_t>{0x40, 0x6A, 0x02, 0x00, 0x28}));
  EXPECT_EQ(sim.GetSelectedPage(), 2u);
  EXPECT_TRUE(user.messages.empty());

  sim.ResetCounters();
  EXPECT_EQ(SetPage(card, 0, user), CommandResult::Failed);
  EXPECT_EQ(SetPage(card, 5, user), CommandResult::Failed);
  EXPECT_EQ(user.messages.size(), 2u);
  EXPECT_EQ(sim.GetCounters().transactions, 0u);
  EXPECT_EQ(sim.GetSelectedPage(), 2u);
}

class SetPageCacheTest : public ::testing::Test {
 protected:
  // Block 10 changed in the cache only.
  void SetUp() override {
    const std::uint8_t* block = nullptr;
    ASSERT_TRUE(cache_.Read(10 * 512, block, 512, false));
    ASSERT_TRUE(cache_.Write(10 * 512, change_, 4, false));
    sim_.TakeTransfers();
  }

  CCardOnSimulator sim_;
  CVmuMemory& cache_ = *sim_.Card().GetCache();
  const std::uint8_t change_[4] = {1, 2, 3, 4};
  CScriptedUser user_;
};

// The change goes to the page it was made on, and nothing cached outlives the switch,
// even when the switch is to the page already selected.
TEST_F(SetPageCacheTest, WritesBackChangesBeforeSelectingAndDropsTheCacheAfter) {
  EXPECT_EQ(SetPage(sim_.Card(), 1, user_), CommandResult::Done);
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"W10/0", "W10/1", "W10/2", "W10/3", "P0"}));
  EXPECT_EQ(sim_.ReadPage(0).GetBlock(10)[0], 1);
  EXPECT_EQ(cache_.GetBlockStatus(10), CVmuMemory::kNotLoaded);
  EXPECT_TRUE(user_.messages.empty());
}

TEST_F(SetPageCacheTest, FailedWriteBackStopsTheSwitchAndKeepsTheChange) {
  sim_.Sim().Faults().noCard = true;
  EXPECT_EQ(SetPage(sim_.Card(), 2, user_), CommandResult::Failed);
  EXPECT_EQ(user_.messages, Words{StatusMessage(status::kTimeout)});
  EXPECT_EQ(sim_.Sim().GetCounters().pageSelects, 0u);
  EXPECT_EQ(cache_.GetBlockStatus(10), CVmuMemory::kDirty);

  sim_.Sim().Faults().noCard = false;
  ASSERT_TRUE(sim_.Card().Flush());
  EXPECT_EQ(sim_.ReadPage(0).GetBlock(10)[0], 1);
}

TEST_F(SetPageCacheTest, FailedSelectionIsReportedAndStillDropsTheCache) {
  ASSERT_TRUE(sim_.Card().Flush());
  sim_.Sim().Faults().wrongChecksum = true;
  EXPECT_EQ(SetPage(sim_.Card(), 2, user_), CommandResult::Failed);
  EXPECT_EQ(user_.messages, Words{StatusMessage(status::kBadChecksum)});
  EXPECT_EQ(cache_.GetBlockStatus(10), CVmuMemory::kNotLoaded);
}
}  // namespace
