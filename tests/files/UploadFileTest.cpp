#include <filesystem>
#include <set>

#include "FileCommandTest.h"
#include "VmuFat.h"

namespace {

const std::string kCannotRead = "File could not be read.";
const std::string kGameFile =
    "This version of Korvantis can not upload GAME files.  Check the website for a newer "
    "version.";

class UploadFileTest : public FileCommandTest {
 protected:
  CommandResult Upload(const Bytes& dci) {
    WriteBytes(path_, dci);
    user_.AnswerNextChoice(path_);
    return UploadFile(sim_.Card(), progress_, user_);
  }
  // Each case starts over with a fresh formatted card; only the given user
  // blocks are free when free is given.
  void FreshCard(const std::set<int>* free = nullptr) {
    page_ = CPageImage::Formatted();
    for (int block = 0; free != nullptr && block < 200; ++block) {
      page_.SetFatEntry(block, free->count(block) ? CVmuFat::kFree : CVmuFat::kLastBlock);
    }
    Load();
    user_.messages.clear();
  }
  static Bytes DataDci(std::uint16_t size) {
    return Dci(Entry(0x33, "DATA", 0, size), Blocks(size));
  }
  const std::string path_ = scratch_.File("in.dci");
};

TEST_F(UploadFileTest, WritesBlocksEntryAndChainWithTheFewestTransfers) {
  Place(0, Entry(0x33, "OLD", 100, 2), Blocks(2));
  Place(2, Entry(0x33, "OLDER", 50, 1), Blocks(1));
  Load();
  CVmuDirEntry entry = Entry(0x33, "UPLOADED", 7, 3, 0xFF);
  std::memset(entry.GetData() + 26, 0xAB, 6);
  Bytes dci = Blocks(3);  // the file holds 00 01 02 03 ...
  dci.insert(dci.begin(), entry.GetData(), entry.GetData() + 32);
  dci.insert(dci.end(), 64, 0xEE);  // ignored

  EXPECT_EQ(Upload(dci), CommandResult::Done);
  Words expected = {"R255", "R254", "R253"};
  for (int block : {199, 198, 197, 253, 254})
    for (const std::string& unit : CCardOnSimulator::BlockStore(block))
      expected.push_back(unit);
  EXPECT_EQ(sim_.TakeTransfers(), expected);

  // The file's wire order becomes storage order on the card.
  CPageImage card = sim_.ReadPage();
  Bytes stored = Blocks(3);
  card_format::ReverseGroups(stored.data(), stored.size());
  for (int k = 0; k < 3; ++k)
    EXPECT_EQ(0, std::memcmp(card.GetBlock(199 - k), &stored[512 * k], 512));
  EXPECT_EQ(card.GetFatEntry(199), 198);
  EXPECT_EQ(card.GetFatEntry(198), 197);
  EXPECT_EQ(card.GetFatEntry(197), CVmuFat::kLastBlock);
  entry.SetFirstBlock(199);
  EXPECT_EQ(0, std::memcmp(card.GetBlock(253) + 32, entry.GetData(), 32));  // the lowest free slot

  EXPECT_EQ(progress_.message, "Uploading file to the memory card...");
  EXPECT_EQ(progress_.upper, 3);
  EXPECT_EQ(progress_.positions, (std::vector<std::int32_t>{0, 1, 2}));
  EXPECT_FALSE(progress_.open);
  EXPECT_TRUE(user_.messages.empty());
}

TEST_F(UploadFileTest, SpaceIsTheFreeRunBelowTheHighestFreeBlock) {
  const std::set<int> three = {199, 198, 197}, one = {120};
  FreshCard(&three);
  EXPECT_EQ(Upload(DataDci(3)), CommandResult::Done);
  FreshCard(&one);
  EXPECT_EQ(Upload(DataDci(1)), CommandResult::Done);
  EXPECT_EQ(sim_.ReadPage().GetFatEntry(120), CVmuFat::kLastBlock);

  const std::string lead =
      "There is not enough free space on this memory card.  This file requires ";
  const struct {
    std::set<int> free;
    std::uint16_t size;
    std::string message;
  } refusals[] = {
      {{199, 198}, 3, "3 blocks, but there are only 2 blocks free on this memory card."},
      {{}, 1, "1 block, but there are no blocks free on this memory card."},
      {{120}, 2, "2 blocks, but there is only 1 block free on this memory card."},
      // Enough in all, but not below H: a block in use is never written over.
      {{199, 198, 150, 149}, 3, "3 blocks, but there are only 2 blocks free on this memory card."},
  };
  for (const auto& refusal : refusals) {
    FreshCard(&refusal.free);
    EXPECT_EQ(Upload(DataDci(refusal.size)), CommandResult::Failed);
    EXPECT_EQ(user_.messages, Words{lead + refusal.message});
    EXPECT_FALSE(HasWrites(sim_.TakeTransfers()));
  }
}

TEST_F(UploadFileTest, FilesThatAreNotWholeDataFilesAreRefusedBeforeAnyCardAccess) {
  Bytes truncated = DataDci(3);
  truncated.pop_back();
  const std::pair<Bytes, std::string> refusals[] = {
      {Dci(Entry(0xCC, "GAME", 0, 1), Blocks(1)), kGameFile},
      {truncated, kCannotRead},
      {Bytes(31, 0x33), kCannotRead},
      {Dci(Entry(0x33, "EMPTY", 0, 0), {}), kCannotRead},
      {Dci(Entry(0x00, "FREE", 0, 1), Blocks(1)), kCannotRead},
  };
  for (const auto& [dci, message] : refusals) {
    user_.messages.clear();
    EXPECT_EQ(Upload(dci), CommandResult::Failed);
    EXPECT_EQ(user_.messages, Words{message});
  }
  std::filesystem::remove(path_);
  user_.AnswerNextChoice(path_);
  EXPECT_EQ(UploadFile(sim_.Card(), progress_, user_), CommandResult::Failed);
  EXPECT_EQ(user_.messages.back(), kCannotRead + " (No such file or directory)");
  EXPECT_EQ(UploadFile(sim_.Card(), progress_, user_), CommandResult::Dismissed);
  EXPECT_EQ(sim_.Sim().GetCounters().transactions, 0u);
}

TEST_F(UploadFileTest, CardsThatCannotTakeTheFileSafelyAreLeftUnwritten) {
  constexpr std::uint32_t kEntryCount = card_format::kRootDirectoryEntryCount;
  constexpr std::uint32_t kFatStart = card_format::kRootFatStart;
  constexpr std::uint32_t kDirectoryStart = card_format::kRootDirectoryStart;
  constexpr std::uint32_t kDirectoryBlocks = card_format::kRootDirectoryBlockCount;
  // No entry examined (free slots lie beyond the count); the allocation table
  // among the user blocks or over the root; the directory over the table, off
  // the page, or reaching down into the user blocks.
  const struct {
    std::uint32_t field;
    std::uint16_t value;
  } roots[] = {{kEntryCount, 0},       {kFatStart, 150},       {kFatStart, 255},
               {kDirectoryStart, 254}, {kDirectoryStart, 300}, {kDirectoryBlocks, 60}};
  for (const auto& root : roots) {
    FreshCard();
    SetRootField(root.field, root.value);
    Load();
    EXPECT_EQ(Upload(DataDci(1)), CommandResult::Failed) << root.field << " " << root.value;
    ASSERT_EQ(user_.messages.size(), 1u);
    EXPECT_NE(user_.messages[0].find(root.field == kEntryCount ? "no free directory entry"
                                                               : "nothing was written"),
              std::string::npos);
    EXPECT_FALSE(HasWrites(sim_.TakeTransfers()));
  }

  FreshCard();
  sim_.Sim().Faults().silentAfter = 0;
  EXPECT_EQ(Upload(DataDci(1)), CommandResult::Failed);
  EXPECT_EQ(user_.messages, Words{StatusMessage(status::kTimeout)});
}

TEST_F(UploadFileTest, AStopAfterTheDataLeavesItsBlocksFree) {
  Load();
  progress_.CancelAtPosition(1);
  EXPECT_EQ(Upload(DataDci(3)), CommandResult::Cancelled);
  EXPECT_EQ(progress_.positions, std::vector<std::int32_t>{0});
  EXPECT_EQ(sim_.ReadPage().GetFatEntry(199), CVmuFat::kFree);

  FreshCard();
  sim_.Sim().ResetCounters();
  sim_.Sim().Faults().silentAfter = 3 + 3 * 4;  // the entry's flush fails
  EXPECT_EQ(Upload(DataDci(3)), CommandResult::Failed);
  EXPECT_EQ(user_.messages, Words{StatusMessage(status::kTimeout)});
  EXPECT_EQ(user_.windowOpen, std::vector<bool>{false});
  CPageImage card = sim_.ReadPage();
  EXPECT_EQ(card.GetFatEntry(199), CVmuFat::kFree);
  EXPECT_EQ(card.GetBlock(253)[0], 0);  // no entry either
}

TEST_F(UploadFileTest, RealDataFilesTravelBothWaysByteForByte) {
  const std::filesystem::path folder = std::filesystem::path(KORVANTIS_REALDATA_DIR) / "dci";
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << folder << " is absent";
  int dataFiles = 0;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    if (item.path().extension() != ".dci") continue;
    const Bytes original = ReadBytes(item.path().string());
    FreshCard();
    sim_.Sim().ResetCounters();
    user_.AnswerNextChoice(item.path().string());
    const CommandResult result = UploadFile(sim_.Card(), progress_, user_);
    if (original[0] == 0xCC) {  // tetr.dci
      EXPECT_EQ(user_.messages, Words{kGameFile});
      EXPECT_EQ(sim_.Sim().GetCounters().transactions, 0u);
      continue;
    }
    ++dataFiles;
    ASSERT_EQ(result, CommandResult::Done) << item.path();
    user_.AnswerNextChoice(path_);
    ASSERT_EQ(DownloadFile(*sim_.MakeCard(), 0, progress_, user_), CommandResult::Done);
    Bytes back = ReadBytes(path_);
    EXPECT_EQ(card_format::GetLe16(&back[2]), 199);  // the first block on this card
    back[2] = original[2];
    back[3] = original[3];
    EXPECT_EQ(back, original) << item.path();
  }
  EXPECT_EQ(dataFiles, 2);
}

}  // namespace
