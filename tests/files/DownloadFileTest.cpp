#include <filesystem>
#include <iterator>

#include "FileCommandTest.h"

namespace {

const std::string kCannotWrite = "File could not be created, or could not be written to.";

class DownloadFileTest : public FileCommandTest {
 protected:
  CommandResult Download(std::uint16_t index, const std::string& answer) {
    user_.AnswerNextChoice(answer);
    return DownloadFile(sim_.Card(), index, progress_, user_);
  }
  const std::string path_ = scratch_.File("out.dci");
};

TEST_F(DownloadFileTest, WritesTheEntryAndTheBlocksInWireOrder) {
  const CVmuDirEntry entry = Entry(0x33, "THREE", 199, 3, 0xFF);
  Place(5, entry, Blocks(3));
  Place(6, Entry(0x33, "ONE", 120, 1), Blocks(1));
  PlaceEntryOnly(7, Entry(0x33, "NONE", 100, 0));
  Load();
  std::vector<FileTexts> rows;
  CScriptedProgress listing;
  ASSERT_EQ(RefreshList(sim_.Card(), listing, user_, rows), CommandResult::Done);
  sim_.TakeTransfers();

  EXPECT_EQ(Download(5, path_), CommandResult::Done);
  const Bytes file = ReadBytes(path_);
  EXPECT_EQ(file, Dci(entry, Blocks(3)));
  EXPECT_EQ(Bytes(file.begin() + 32, file.begin() + 40), (Bytes{3, 2, 1, 0, 7, 6, 5, 4}));
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R198", "R197"}));  // the listing read block 199
  EXPECT_EQ(progress_.message, "Downloading file from the memory card...");
  EXPECT_EQ(progress_.upper, 3);
  EXPECT_EQ(progress_.positions, (std::vector<std::int32_t>{0, 1, 2}));
  EXPECT_EQ(user_.windowOpen, std::vector<bool>{false});  // closed before the choice

  EXPECT_EQ(Download(6, path_), CommandResult::Done);  // replaces the file
  EXPECT_EQ(ReadBytes(path_).size(), 544u);
  EXPECT_EQ(Download(7, path_), CommandResult::Done);
  EXPECT_EQ(ReadBytes(path_).size(), 32u);
  EXPECT_TRUE(user_.messages.empty());
}

TEST_F(DownloadFileTest, NothingIsWrittenWhenTheFileCannotBeTaken) {
  Place(0, Entry(0x33, "GOOD", 199, 3), Blocks(3));
  PlaceEntryOnly(1, Entry(0x33, "BELOW ZERO", 3, 5));
  Load();

  // Refused before any block is read.
  EXPECT_EQ(DownloadFile(sim_.Card(), 1, progress_, user_), CommandResult::Failed);
  ASSERT_EQ(user_.messages.size(), 1u);
  EXPECT_NE(user_.messages[0].find("outside the memory card"), std::string::npos);
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R255", "R253"}));

  progress_.CancelAtPosition(1);
  EXPECT_EQ(DownloadFile(sim_.Card(), 0, progress_, user_), CommandResult::Cancelled);
  progress_.CancelAtPosition(0);
  EXPECT_EQ(Download(0, ""), CommandResult::Dismissed);

  Load();
  sim_.Sim().ResetCounters();
  sim_.Sim().Faults().silentAfter = 3;  // root, directory and file block 0 cross
  progress_.positions.clear();
  EXPECT_EQ(Download(0, path_), CommandResult::Failed);
  EXPECT_EQ(user_.messages.back(), StatusMessage(status::kTimeout));
  EXPECT_EQ(progress_.positions, std::vector<std::int32_t>{0});
  EXPECT_FALSE(progress_.open);
  EXPECT_EQ(user_.windowOpen, (std::vector<bool>{false, false, true}));  // message under the window
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(DownloadFileTest, OutputFileProblemsShowTheReasonAndKeepTheFileThatWasThere) {
  Place(0, Entry(0x33, "GOOD", 199, 3), Blocks(3));
  Load();
  EXPECT_EQ(Download(0, scratch_.File("missing/folder.dci")), CommandResult::Failed);

  // A file size limit makes the writing fail part-way, as a full disk does.
  const Bytes previous(700, 0x5A);
  WriteBytes(path_, previous);
  CommandResult result = CommandResult::Done;
  WithFileSizeLimit(1000, [&] { result = Download(0, path_); });
  EXPECT_EQ(result, CommandResult::Failed);
  EXPECT_EQ(user_.messages, (Words{kCannotWrite + " (No such file or directory)",
                                   kCannotWrite + " (File too large)"}));
  EXPECT_EQ(ReadBytes(path_), previous);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch_.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
