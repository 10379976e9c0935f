#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "PageCommands.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"

namespace {
constexpr std::uint32_t kPage = card_format::kPageSize;
using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

std::vector<std::int32_t> Offsets(std::int32_t unit) {
  std::vector<std::int32_t> offsets;
  for (std::int32_t offset = 0; offset < static_cast<std::int32_t>(kPage); offset += unit)
    offsets.push_back(offset);
  return offsets;
}

class PageBackupRestoreTest : public ::testing::Test {
 protected:
  Bytes WirePage() { return {sim_.Sim().GetPage(0), sim_.Sim().GetPage(0) + kPage}; }
  // A fresh progress window and a count of transactions from here on.
  void Restart() {
    progress_ = CScriptedProgress();
    sim_.Sim().ResetCounters();
  }

  CCardOnSimulator sim_;
  std::unique_ptr<CVmuCard> card_ = sim_.MakeCard();  // no recording: whole pages are big
  CScratchDirectory scratch_;
  CScriptedProgress progress_;
  CScriptedUser user_{&progress_};
  const std::string path_ = scratch_.File("page.dcm");
};

TEST_F(PageBackupRestoreTest, BackupSavesThePageInWireOrderAfterReadingAllOfIt) {
  sim_.LoadPage(NoisePage(1));
  WriteBytes(path_, Bytes(kPage + 5000, 0xEE));  // replaced, not kept in part
  user_.AnswerNextChoice(path_);

  EXPECT_EQ(BackupPage(*card_, progress_, user_), CommandResult::Done);
  EXPECT_EQ(ReadBytes(path_), WirePage());
  EXPECT_EQ(progress_.positions, Offsets(4096));
  EXPECT_EQ(user_.windowOpen, std::vector<bool>{false});  // the choice comes once it is closed
  EXPECT_EQ(user_.choicesAsked, Texts{"save dcm"});
  EXPECT_TRUE(user_.messages.empty());
}

TEST_F(PageBackupRestoreTest, BackupThatIsCancelledAsksForNoFile) {
  Restart();
  progress_.CancelAtPosition(3);
  EXPECT_EQ(BackupPage(*card_, progress_, user_), CommandResult::Cancelled);
  EXPECT_EQ(sim_.Sim().GetCounters().reads, 3u);
  EXPECT_FALSE(progress_.open);
  EXPECT_TRUE(user_.choicesAsked.empty());
  EXPECT_TRUE(user_.messages.empty());  // a cancel says nothing

  user_.AnswerNextChoice("");
  EXPECT_EQ(BackupPage(*card_, progress_, user_), CommandResult::Dismissed);
  EXPECT_TRUE(user_.messages.empty());
}

TEST_F(PageBackupRestoreTest, RestoreOfABackupWritesBackTheSameBytes) {
  sim_.LoadPage(NoisePage(1));
  const Bytes saved = WirePage();
  user_.AnswerNextChoice(path_);
  ASSERT_EQ(BackupPage(*card_, progress_, user_), CommandResult::Done);
  sim_.LoadPage(NoisePage(2));

  // A longer file gives its first 131,072 bytes.
  Bytes longer = ReadBytes(path_);
  longer.resize(kPage + 1000, 0xAA);
  WriteBytes(path_, longer);
  Restart();
  user_.AnswerNextChoice(path_);
  const std::uint8_t* block = nullptr;
  ASSERT_TRUE(card_->GetCache()->Read(0, block, 4, false));
  EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Done);

  EXPECT_EQ(WirePage(), saved);
  EXPECT_EQ(sim_.Sim().GetCounters().writeUnits, 1024u);
  EXPECT_EQ(card_->GetCache()->GetBlockStatus(0), CVmuMemory::BlockStatus::NotLoaded);
  EXPECT_EQ(progress_.positions, Offsets(128));
  EXPECT_FALSE(progress_.open);
  EXPECT_EQ(user_.choicesAsked, (Texts{"save dcm", "open dcm"}));
  EXPECT_TRUE(user_.messages.empty());
}

TEST_F(PageBackupRestoreTest, RestoreRefusesAFileShorterThanAPageBeforeWriting) {
  WriteBytes(path_, Bytes(kPage - 1, 0x11));
  user_.AnswerNextChoice(path_);
  user_.AnswerNextChoice("");
  sim_.Sim().ResetCounters();

  EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Failed);
  EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Dismissed);
  EXPECT_EQ(user_.messages, Texts{"File could not be read."});
  EXPECT_EQ(sim_.Sim().GetCounters().transactions, 0u);
  EXPECT_EQ(progress_.creates, 0);
}

// Blocks cached before a restore that is cancelled part-way are read again after it.
TEST_F(PageBackupRestoreTest, RestoreCancelledPartWayKeepsItsUnitsAndEmptiesTheCache) {
  const CPageImage noise = NoisePage(3);
  const Bytes file(noise.GetData(), noise.GetData() + kPage);
  WriteBytes(path_, file);
  CVmuMemory& cache = *card_->GetCache();
  const std::uint8_t* block = nullptr;

  // Cancel after the first unit: exactly its 128 bytes are new.
  ASSERT_TRUE(cache.Read(0, block, 4, false));
  progress_.CancelAtPosition(1);
  user_.AnswerNextChoice(path_);
  Bytes expected = WirePage();
  std::copy(file.begin(), file.begin() + 128, expected.begin());
  EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Cancelled);
  EXPECT_EQ(WirePage(), expected);
  ASSERT_TRUE(cache.Read(0, block, 4, false));
  EXPECT_EQ((Bytes{file[3], file[2], file[1], file[0]}), Bytes(block, block + 4));
}

}  // namespace
