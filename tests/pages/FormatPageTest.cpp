#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "CareCommands.h"
#include "PageCheck.h"
#include "PageCommands.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"

namespace {
bool SamePage(const CPageImage& a, const CPageImage& b) {
  return std::equal(a.GetData(), a.GetData() + card_format::kPageSize, b.GetData());
}

TEST(FormatPage, LaysOutTheSelectedPageOnlyAndOnlyWhenTheUserAgrees) {
  CCardOnSimulator sim;
  CScratchDirectory scratch;
  CScriptedProgress progress;
  CScriptedUser user(&progress);
  for (std::uint32_t page = 0; page < 4; ++page)
    sim.LoadPage(NoisePage(page), page);
  ASSERT_EQ(SetPage(sim.Card(), 1, user), CommandResult::Done);
  EXPECT_EQ(FormatPage(sim.Card(), {}, progress, user), CommandResult::Dismissed);
  EXPECT_TRUE(SamePage(sim.ReadPage(0), NoisePage(0)));

  for (std::uint16_t selected = 1; selected <= 4; ++selected) {
    for (std::uint32_t page = 0; page < 4; ++page)
      sim.LoadPage(NoisePage(page), page);
    ASSERT_EQ(SetPage(sim.Card(), selected, user), CommandResult::Done);
    user.AnswerNextQuestion(true);
    const SafetyCopies copies{scratch.File("copies" + std::to_string(selected)), selected};
    ASSERT_EQ(FormatPage(sim.Card(), copies, progress, user), CommandResult::Done);
    for (std::uint32_t page = 0; page < 4; ++page) {
      const CPageImage now = sim.ReadPage(page);
      if (page + 1 != selected) {
        EXPECT_TRUE(SamePage(now, NoisePage(page))) << selected << " " << page;
        continue;
      }
      EXPECT_TRUE(CheckPage(now).IsSound());
      EXPECT_TRUE(FilesOf(now).empty());
      EXPECT_EQ(FreeUserBlocks(now).size(), 200u);
    }
  }
  EXPECT_EQ(user.messages.size(), 4u);  // each names its safety copy

  // Copies wanted, but no data folder to keep them in: nothing is formatted.
  sim.LoadPage(NoisePage(3), 3);
  user.AnswerNextQuestion(true);
  EXPECT_EQ(FormatPage(sim.Card(), WantedCopies("", 4), progress, user), CommandResult::Failed);
  EXPECT_TRUE(SamePage(sim.ReadPage(3), NoisePage(3)));
}
}  // namespace
