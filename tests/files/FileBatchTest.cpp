#include "FileBatch.h"

#include <filesystem>

#include "FileCommandTest.h"

namespace {

class FileBatchTest : public FileCommandTest {
 protected:
  FileBatchTest() {
    Place(0, Entry(CVmuDirEntry::kData, "FIRST", 199, 2), Blocks(2, 1));
    Place(1, Entry(CVmuDirEntry::kData, "SECOND/ONE", 190, 1), Blocks(1, 2));
    Load();
  }
};

}  // namespace

TEST_F(FileBatchTest, DownloadsIntoAFolderUnderOneWindowAndAsksBeforeReplacing) {
  const std::string folder = scratch_.File("");
  ASSERT_EQ(DownloadFiles(sim_.Card(), {0, 1}, folder, CardFileFormat::Vms, progress_, user_),
            CommandResult::Done);
  EXPECT_EQ(progress_.creates, 1);
  EXPECT_EQ(progress_.upper, 2000);
  EXPECT_EQ(ReadBytes(scratch_.File("FIRST.vms")), Blocks(2, 1));
  EXPECT_TRUE(std::filesystem::exists(scratch_.File("FIRST.vmi")));
  EXPECT_EQ(ReadBytes(scratch_.File("SECONDON.vms")), Blocks(1, 2));

  EXPECT_TRUE(user_.messages.empty());

  // Taken names are asked about; No keeps the file, goes on, and fails the batch.
  WriteBytes(scratch_.File("FIRST.dci"), Bytes{1, 2, 3});
  user_.AnswerNextQuestion(false);
  ASSERT_EQ(DownloadFiles(sim_.Card(), {0, 1}, folder, CardFileFormat::Dci, progress_, user_),
            CommandResult::Failed);
  EXPECT_EQ(user_.questions.size(), 1u);
  EXPECT_EQ(user_.messages,
            Words{scratch_.File("FIRST.dci") +
                  " already exists and was kept; its card file was not downloaded."});
  EXPECT_EQ(ReadBytes(scratch_.File("FIRST.dci")), (Bytes{1, 2, 3}));
  EXPECT_EQ(std::filesystem::file_size(scratch_.File("SECOND_ONE.dci")), 32u + 512);

  // Decided in advance, nothing is asked: Never keeps the file and says so, Always replaces it.
  Declined declined = Declined::Nothing;
  EXPECT_EQ(DownloadFiles(sim_.Card(), {0}, folder, CardFileFormat::Dci, progress_, user_,
                          Overwrite::Never, &declined),
            CommandResult::Failed);
  EXPECT_EQ(declined, Declined::Overwrite);
  EXPECT_EQ(ReadBytes(scratch_.File("FIRST.dci")), (Bytes{1, 2, 3}));
  ASSERT_EQ(DownloadFiles(sim_.Card(), {0}, folder, CardFileFormat::Dci, progress_, user_,
                          Overwrite::Always),
            CommandResult::Done);
  EXPECT_EQ(std::filesystem::file_size(scratch_.File("FIRST.dci")), 32u + 1024);
  EXPECT_EQ(user_.questions.size(), 1u);
}

TEST_F(FileBatchTest, UploadsStopAtTheFirstFailureAndSayHowManyWereDone) {
  const std::string good = scratch_.File("good.dci"), bad = scratch_.File("bad.dci");
  WriteBytes(good, Dci(Entry(CVmuDirEntry::kData, "NEW", 0, 1), Blocks(1)));
  WriteBytes(bad, Bytes(10, 0));
  EXPECT_EQ(UploadFiles(sim_.Card(), {good, bad, good}, progress_, user_), CommandResult::Failed);
  EXPECT_EQ(user_.messages, (Words{"File could not be read.",
                                   "1 of 3 files were uploaded before the upload stopped."}));
  EXPECT_FALSE(progress_.open);
  EXPECT_NE(FindFile(sim_.ReadPage(), "NEW").slot, 0xFFFF);
  ExpectConsistent();
}
