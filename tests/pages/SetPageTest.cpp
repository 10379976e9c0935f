#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "PageCommands.h"
#include "ScriptedUser.h"

namespace {
using Words = std::vector<std::string>;

TEST(SetPageTest, SendsPageNumberLessOneAndRefusesOthersUntouched) {
  CCardOnSimulator sim;
  CScriptedUser user;
  EXPECT_EQ(SetPage(sim.Card(), 3, user), CommandResult::Done);  // Ctrl+3
  EXPECT_EQ(sim.TakeTransfers(), Words{"P2"});
  EXPECT_TRUE(user.messages.empty());

  sim.Sim().ResetCounters();
  EXPECT_EQ(SetPage(sim.Card(), 0, user), CommandResult::Failed);
  EXPECT_EQ(SetPage(sim.Card(), 5, user), CommandResult::Failed);
  EXPECT_EQ(user.messages.size(), 2u);
  EXPECT_EQ(sim.Sim().GetCounters().transactions, 0u);
  EXPECT_EQ(sim.Sim().GetSelectedPage(), 2u);
}

// The change goes to the page it was made on, and nothing cached outlives the
// switch, even when the switch is to the page already selected.
TEST(SetPageTest, WritesBackChangesBeforeSelectingAndDropsTheCacheAfter) {
  CCardOnSimulator sim;
  CVmuMemory& cache = *sim.Card().GetCache();
  CScriptedUser user;
  const std::uint8_t* block = nullptr;
  const std::uint8_t change[4] = {1, 2, 3, 4};
  ASSERT_TRUE(cache.Read(10 * 512, block, 512, false));
  ASSERT_TRUE(cache.Write(10 * 512, change, 4, false));
  sim.TakeTransfers();
  EXPECT_EQ(SetPage(sim.Card(), 1, user), CommandResult::Done);
  EXPECT_EQ(sim.TakeTransfers(), (Words{"W10/0", "W10/1", "W10/2", "W10/3", "P0"}));
  EXPECT_EQ(sim.ReadPage(0).GetBlock(10)[0], 1);
  EXPECT_EQ(cache.GetBlockStatus(10), CVmuMemory::BlockStatus::NotLoaded);
}
}  // namespace
