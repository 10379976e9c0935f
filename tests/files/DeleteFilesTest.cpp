#include "FileCommandTest.h"

namespace {
class DeleteFilesTest : public FileCommandTest {
 protected:
  // A (199-198), P (197, copy-protected) and B (196-194) on the card.
  void SetUp() override {
    Place(0, Entry(CVmuDirEntry::kData, "A", 199, 2), Blocks(2, 1));
    Place(1, Entry(CVmuDirEntry::kData, "P", 197, 1, 0xFF), Blocks(1, 2));
    Place(2, Entry(CVmuDirEntry::kData, "B", 196, 3), Blocks(3, 3));
    Load();
  }
  CommandResult Delete(const std::vector<ListedFile>& files, bool yes = true) {
    user_.AnswerNextQuestion(yes);
    return DeleteFiles(sim_.Card(), files, user_);
  }
};

TEST_F(DeleteFilesTest, AsksNamingProtectedFilesThenFreesTheEntriesAndTheirBlocks) {
  EXPECT_EQ(Delete({0}, false), CommandResult::Dismissed);
  EXPECT_EQ(user_.questions, Words{"Delete \"A\" from the memory card?  This cannot be undone."});
  EXPECT_FALSE(HasWrites(sim_.TakeTransfers()));

  EXPECT_EQ(Delete({2, 1, 2}), CommandResult::Done);
  EXPECT_EQ(user_.questions.back(),
            "Delete 2 files from the memory card?  This cannot be undone.  Copy-protected: "
            "\"P\".");
  CPageImage card = sim_.ReadPage();
  EXPECT_EQ(FilesOf(card).size(), 1u);
  EXPECT_EQ(FreeUserBlocks(card).size(), 198u);
  EXPECT_EQ(ChainBytes(card, FindFile(card, "A").chain), Blocks(2, 1));
  ExpectConsistent();

  EXPECT_EQ(Delete({0}), CommandResult::Done);
  EXPECT_TRUE(FilesOf(sim_.ReadPage()).empty());
  EXPECT_EQ(FreeUserBlocks(sim_.ReadPage()).size(), 200u);
}

// C runs from block 150 into B's last two blocks: deleting B frees only its
// first. A root whose table lies among the user blocks is not written through.
TEST_F(DeleteFilesTest, FreesOnlyBlocksNoOtherEntryReachesAndNothingThroughABadLayout) {
  PlaceAlong(3, Entry(CVmuDirEntry::kData, "C", 150, 3), {150, 195, 194}, Blocks(3, 4));
  Load();
  EXPECT_EQ(Delete({2}), CommandResult::Done);
  EXPECT_EQ(FreeUserBlocks(sim_.ReadPage()).size(), 194u);
  EXPECT_EQ(ChainBytes(sim_.ReadPage(), {150, 195, 194}), Blocks(3, 4));
  ExpectConsistent();

  SetRootField(card_format::kRootFatStart, 150);
  Load();
  EXPECT_EQ(Delete({0}), CommandResult::Failed);
  EXPECT_NE(user_.messages.back().find("so nothing was written to the card"), std::string::npos);
  EXPECT_FALSE(HasWrites(sim_.TakeTransfers()));
}
}  // namespace
