#include "FileCommandTest.h"

namespace {
class DeleteFilesTest : public FileCommandTest {
 protected:
  // A (199-198), P (197, copy-protected) and B (196-194) on the card.
  void SetUp() override {
    Place(0, Entry(0x33, "A", 199, 2), Blocks(2, 1));
    Place(1, Entry(0x33, "P", 197, 1, 0xFF), Blocks(1, 2));
    Place(2, Entry(0x33, "B", 196, 3), Blocks(3, 3));
    Load();
  }
  CommandResult Delete(const std::vector<std::uint16_t>& indices, bool yes = true) {
    user_.AnswerNextQuestion(yes);
    return DeleteFiles(sim_.Card(), indices, user_);
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
}  // namespace
