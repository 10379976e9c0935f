#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

#include "FileBatch.h"
#include "FileCommandTest.h"
#include "RealData.h"
#include "ResultAssertion.h"
#include "VmuFat.h"

namespace {

const std::string kCannotWrite = "File could not be created, or could not be written to.";

class DownloadFileTest : public FileCommandTest {
 protected:
  CommandResult Download(const ListedFile& file, const std::string& answer) {
    user_.AnswerNextChoice(answer);
    return DownloadFile(sim_.Card(), file, progress_, user_);
  }
  const std::string path_ = scratch_.File("out.dci");
};

TEST_F(DownloadFileTest, WritesTheEntryAndTheBlocksInWireOrder) {
  const CVmuDirEntry entry = Entry(CVmuDirEntry::kData, "THREE", 199, 3, 0xFF);
  Place(5, entry, Blocks(3));
  Place(6, Entry(CVmuDirEntry::kData, "ONE", 120, 1), Blocks(1));
  Load();
  FileListing rows;
  CScriptedProgress listing;
  ASSERT_EQ(RefreshList(sim_.Card(), listing, user_, rows), CommandResult::Done);
  sim_.TakeTransfers();

  EXPECT_EQ(Download(ListedFile(rows.rows[0]), path_), CommandResult::Done);
  const Bytes file = ReadBytes(path_);
  EXPECT_EQ(file, Dci(entry, Blocks(3)));
  EXPECT_EQ(Bytes(file.begin() + 32, file.begin() + 40), (Bytes{3, 2, 1, 0, 7, 6, 5, 4}));
  // The card, not what the listing left in the cache: it may have been swapped.
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R255", "R254", "R253", "R199", "R198", "R197"}));
  EXPECT_EQ(progress_.message, "Downloading file from the memory card...");
  EXPECT_EQ(progress_.upper, 3);
  EXPECT_EQ(progress_.positions, (std::vector<std::int32_t>{0, 1, 2}));
  EXPECT_EQ(user_.windowOpen, std::vector<bool>{false});  // closed before the choice

  EXPECT_EQ(Download(6, path_), CommandResult::Done);  // replaces the file
  EXPECT_EQ(ReadBytes(path_).size(), 544u);
  EXPECT_TRUE(user_.messages.empty());
}

// A chain that is not exactly the file's blocks (the card object's tests
// judge every kind) is refused before any of its blocks is read.
TEST_F(DownloadFileTest, DamagedChainsAndUnformattedPagesAreRefused) {
  PlaceEntryOnly(0, Entry(CVmuDirEntry::kData, "DAMAGED", 199, 27));
  page_.SetFatEntry(199, 198);
  page_.SetFatEntry(198, CVmuFat::kLastBlock);
  Load();
  EXPECT_EQ(Download(0, path_), CommandResult::Failed);
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R255", "R254", "R253"}));
  page_.GetBlock(255)[0] = 0;
  Load();
  EXPECT_EQ(Download(0, path_), CommandResult::Failed);
  EXPECT_EQ(user_.messages,
            (Words{"This file cannot be downloaded: its blocks on the memory card are damaged "
                   "(its size says 27 blocks, its chain holds 2).",
                   "This page of the memory card is not formatted."}));
  EXPECT_TRUE(user_.choicesAsked.empty());
}

// No upload takes back the DCI of an entry of no blocks: none is written,
// alone or among others.
TEST_F(DownloadFileTest, AnEntryOfNoBlocksIsNeverSaved) {
  PlaceEntryOnly(0, Entry(CVmuDirEntry::kData, "EMPTY", 199, 0));
  Place(1, Entry(CVmuDirEntry::kData, "GOOD", 150, 1), Blocks(1));
  Load();
  EXPECT_EQ(Download(0, path_), CommandResult::Failed);
  EXPECT_EQ(user_.messages, Words{"This file holds no blocks."});
  EXPECT_FALSE(std::filesystem::exists(path_));
  user_.messages.clear();
  const std::string folder = scratch_.File("all");
  std::filesystem::create_directory(folder);
  EXPECT_EQ(DownloadFiles(sim_.Card(), {0, 1}, folder, CardFileFormat::Dci, progress_, user_),
            CommandResult::Failed);
  EXPECT_EQ(user_.messages, Words{folder + "/EMPTY.dci was not written: its card file holds no "
                                           "blocks."});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
  EXPECT_EQ(ReadBytes(folder + "/GOOD.dci").size(), 32u + 512);
}

TEST_F(DownloadFileTest, CancelAndDismissSaveNothing) {
  Place(0, Entry(CVmuDirEntry::kData, "GOOD", 199, 3), Blocks(3));
  Load();
  progress_.CancelAtPosition(1);
  EXPECT_EQ(DownloadFile(sim_.Card(), 0, progress_, user_), CommandResult::Cancelled);
  progress_.CancelAtPosition(0);
  EXPECT_EQ(Download(0, ""), CommandResult::Dismissed);

  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(DownloadFileTest, OutputFileProblemsShowTheReasonAndKeepTheFileThatWasThere) {
  Place(0, Entry(CVmuDirEntry::kData, "GOOD", 199, 3), Blocks(3));
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

// Real cards, as consoles left them: each file lists with the descriptions of
// its header block and downloads along its chain, both found here by walking
// the image's bytes; a file whose chain is damaged lists without
// descriptions and is refused. The first save of ReadFiles_01.vmu fills a
// hole: blocks 199 to 196, then 185 down to 163.
TEST_F(DownloadFileTest, RealCardsListAndDownloadAlongTheirChains) {
  KORVANTIS_NEED_REALDATA("images");
  const std::filesystem::path folder = RealData("images");
  std::vector<std::string> games;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    if (item.path().filename() == "truncated.vmu") continue;
    SCOPED_TRACE(item.path().filename().string());
    const std::string copy = scratch_.File(item.path().filename().string());
    std::filesystem::copy_file(item.path(), copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
    CPageImage image;
    const Bytes bytes = ReadBytes(copy);
    std::copy(bytes.begin(), bytes.end(), image.GetData());
    ASSERT_TRUE(Succeeded(sim_.Sim().OpenImage(copy, ImageAccess::Write)));
    sim_.Card().Invalidate();

    FileListing listing;
    ASSERT_EQ(RefreshList(sim_.Card(), progress_, user_, listing), CommandResult::Done);
    const std::vector<PageFile> files = FilesOf(image);
    ASSERT_EQ(listing.rows.size(), files.size());
    EXPECT_EQ(listing.freeBlocks, FreeUserBlocks(image).size());
    for (std::size_t i = 0; i < files.size(); ++i) {
      const PageFile& file = files[i];
      const bool game = file.entry[card_format::kEntryType] == CVmuDirEntry::kGame;
      const std::size_t header = game ? 1 : 0;
      std::string shortText;
      if (file.IsSound() && header < file.chain.size()) {
        const char* text = reinterpret_cast<const char*>(image.GetBlock(file.chain[header]));
        shortText.assign(text, std::find(text, text + 16, '\0'));
      }
      EXPECT_EQ(listing.rows[i].Text(FileColumn::ShortDescription), shortText) << file.slot;
      if (game) games.push_back(shortText);

      user_.messages.clear();
      std::filesystem::remove(path_);
      if (!file.IsSound()) {
        EXPECT_EQ(Download(file.slot, path_), CommandResult::Failed) << file.slot;
        ASSERT_EQ(user_.messages.size(), 1u);
        EXPECT_NE(user_.messages[0].find("damaged"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(path_));
        continue;
      }
      ASSERT_EQ(Download(file.slot, path_), CommandResult::Done) << file.slot;
      CVmuDirEntry entry;
      entry.CopyFrom(file.entry.data());
      EXPECT_EQ(ReadBytes(path_), Dci(entry, ChainBytes(image, file.chain))) << file.slot;
    }
    EXPECT_EQ(sim_.Sim().GetCounters().writeUnits, 0u);
    if (item.path().filename() == "ReadFiles_01.vmu") {
      const std::vector<std::uint16_t> chain = FindFile(image, "S.ARCADIA001").chain;
      ASSERT_EQ(chain.size(), 27u);
      EXPECT_EQ(chain[3], 196);
      EXPECT_EQ(chain[4], 185);
      EXPECT_EQ(chain[26], 163);
    }
  }
  EXPECT_THAT(games, ::testing::IsSupersetOf({"VMU Mini Pacman ", "CHAO ADV 2      "}));
}

}  // namespace
