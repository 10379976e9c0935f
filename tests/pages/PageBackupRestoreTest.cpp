#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "PageCheck.h"
#include "PageCommands.h"
#include "RealData.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"

namespace {
constexpr std::uint32_t kPage = card_format::kPageSize;
using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

// A page a card can use, told apart by its noise in the user blocks.
CPageImage FormattedNoise(std::uint32_t seed) {
  CPageImage page = CPageImage::Formatted();
  const CPageImage noise = NoisePage(seed);
  std::copy(noise.GetData(), noise.GetData() + 200 * 512, page.GetData());
  return page;
}

// Storage order to wire order: byte 4k + j goes to 4k + 3 - j.
Bytes Wire(const std::uint8_t* storage, std::size_t size = kPage) {
  Bytes wire(size);
  for (std::size_t i = 0; i < size; ++i)
    wire[i] = storage[i ^ 3];
  return wire;
}

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
  // The name offered: the page and the day, noon UTC being that day everywhere but the far Pacific.
  EXPECT_EQ(BackupFileName(2, 1796644800), "page2-2026-12-07.dcm");
  EXPECT_EQ(BackupFileName(0, 1796644800), "page-2026-12-07.dcm");
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
  sim_.LoadPage(FormattedNoise(1));
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
  EXPECT_EQ(user_.messages, Texts{"The page was restored from " + path_ + "."});
}

// Nothing reaches the card until the file is known to be a page a card can
// use, or the user insists.
TEST_F(PageBackupRestoreTest, RestoreRefusesShortFilesAndAsksBeforeWritingNoFormattedPage) {
  WriteBytes(path_, Bytes(kPage - 1, 0x11));
  user_.AnswerNextChoice(path_);
  user_.AnswerNextChoice("");
  sim_.Sim().ResetCounters();

  EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Failed);
  EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Dismissed);
  EXPECT_EQ(user_.messages, Texts{"File could not be read."});
  EXPECT_EQ(sim_.Sim().GetCounters().transactions, 0u);
  EXPECT_EQ(progress_.creates, 0);

  // Random bytes, and a formatted page whose layout no card keeps.
  CPageImage odd = CPageImage::Formatted();
  odd.GetBlock(255)[card_format::kRootFatStart] = 7;
  for (const CPageImage& page : {NoisePage(4), odd}) {
    WriteBytes(path_, Wire(page.GetData()));
    user_.AnswerNextChoice(path_);
    EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Dismissed);
    EXPECT_EQ(user_.questions.back().rfind(path_ + " holds no formatted memory card page", 0), 0u);
  }
  EXPECT_EQ(sim_.Sim().GetCounters().transactions, 0u);
  user_.AnswerNextChoice(path_);
  user_.AnswerNextQuestion(true);
  EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Done);
  EXPECT_EQ(WirePage(), Wire(odd.GetData()));
}

// A card image keeps the card's order: its bytes reach the card turned into
// wire order, and the card holds the image's files.
TEST_F(PageBackupRestoreTest, RestoreConvertsACardImageFromTheCardsOrder) {
  KORVANTIS_NEED_REALDATA("images/vmu_save_A1.bin");
  const Bytes image = ReadBytes(RealData("images/vmu_save_A1.bin"));
  ASSERT_EQ(image.size(), kPage);
  const std::string bin = scratch_.File("save.bin");
  WriteBytes(bin, image);
  user_.AnswerNextChoice(bin);
  ASSERT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Done);
  EXPECT_EQ(WirePage(), Wire(image.data()));
  EXPECT_FALSE(FilesOf(sim_.ReadPage()).empty());
}

// Blocks cached before a restore that is cancelled part-way are read again
// after it, and the user learns that the page is partly written and how to
// put it back.
TEST_F(PageBackupRestoreTest, RestoreCancelledPartWayKeepsItsUnitsAndSaysHowToPutThePageBack) {
  const CPageImage restored = FormattedNoise(3);
  const Bytes file = Wire(restored.GetData());
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
  EXPECT_EQ(user_.messages,
            Texts{"The restore stopped part-way, so the page is now partly written."});

  // With a safety copy: the copy is the page as it was, and the message names it.
  const SafetyCopies copies{scratch_.File("copies"), 1};
  sim_.LoadPage(FormattedNoise(5));
  const Bytes before = WirePage();
  Restart();
  progress_.CancelAtPosition(32 + 10);  // 32 reads of the page, then 10 units
  user_.AnswerNextChoice(path_);
  EXPECT_EQ(RestorePage(*card_, copies, progress_, user_), CommandResult::Cancelled);
  const std::string copy = std::filesystem::directory_iterator(copies.folder)->path().string();
  EXPECT_EQ(ReadBytes(copy), before);
  EXPECT_EQ(user_.messages.back(),
            "The restore stopped part-way, so the page is now partly written.  The safety copy " +
                copy + " holds the page as it was: korvantis-cli restore " + copy +
                ", or Memory Card > Restore with that file, puts it back.");
  EXPECT_EQ(sim_.Sim().GetCounters().writeUnits, 10u);

  // Finished, its last message says so, then where the copy is.
  user_.AnswerNextChoice(path_);
  ASSERT_EQ(RestorePage(*card_, copies, progress_, user_), CommandResult::Done);
  EXPECT_EQ(
      user_.messages.back().rfind("The page was restored from " + path_ +
                                      ".\nA safety copy of the page was saved as " + copies.folder,
                                  0),
      0u);
}

}  // namespace
