#include <optional>

#include "FileCommandTest.h"

namespace {

using Texts = std::array<std::string, kFileColumnCount>;
using Indices = std::vector<std::uint16_t>;

std::string Counting(std::uint8_t from, std::size_t length) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i)
    text += static_cast<char>(from + i);
  return text;
}

class RefreshListTest : public FileCommandTest {
 protected:
  CommandResult Refresh() {
    FileListing listing;
    listing.rows.resize(1);  // a listing starts from nothing
    const CommandResult result = RefreshList(sim_.Card(), progress_, user_, listing);
    rows_ = listing.rows;
    free_ = listing.freeBlocks;
    return result;
  }
  Indices RowIndices() const {
    Indices indices;
    for (const FileTexts& row : rows_)
      indices.push_back(row.index);
    return indices;
  }
  std::vector<FileTexts> rows_;
  std::optional<std::uint16_t> free_;
};

TEST_F(RefreshListTest, RowsShowEntryAndHeaderBytesReadWithTheFewestTransfers) {
  Place(0, Entry(CVmuDirEntry::kData, "WORKEDEXAMPL", 199, 3, 0xFF), Blocks(3, 1));
  // A game lies from block 0 upward; its header is its second block.
  CVmuDirEntry game = Entry(CVmuDirEntry::kGame, std::string("\0GAME", 5), 0, 3, 0x01);
  std::memcpy(game.GetData() + card_format::kEntryStamp, "\x1A\xFF\x1A\xFF\x00\x09\x1A", 7);
  Bytes gameBlocks = Blocks(3, 1);
  gameBlocks[0] = 'X';  // its first block is program code
  PlaceAlong(2, game, {0, 1, 2}, gameBlocks);
  Place(3, Entry(0x01, "TWO", 194, 2), Blocks(2, 0xF6));  // a zero byte ends the short text
  PlaceEntryOnly(4, Entry(CVmuDirEntry::kData, "EMPTY", 100, 0));
  PlaceEntryOnly(5, Entry(CVmuDirEntry::kData, "DAMAGED", 150, 2));  // block 150 is marked free
  PlaceAlong(6, Entry(CVmuDirEntry::kData, "FRAGMENTS", 0, 3), {190, 100, 50}, Blocks(3, 1));
  Load();

  EXPECT_EQ(Refresh(), CommandResult::Done);
  ASSERT_EQ(RowIndices(), (Indices{0, 2, 3, 4, 5, 6}));
  const std::string shortText = Counting(1, 16), longText = Counting(17, 32);
  EXPECT_EQ(rows_[0].columns, (Texts{"WORKEDEXAMPL", shortText, longText, Counting(49, 16),
                                     "3 Blocks", "05/13/2000", "14:03:59", "Yes", "Data"}));
  // BCD nibbles above 9 count arithmetically.
  EXPECT_EQ(rows_[1].columns, (Texts{"", shortText, longText, Counting(49, 16), "3 Blocks",
                                     "20/165/20165", "00:09:20", "Yes", "Game"}));
  EXPECT_EQ(rows_[2].columns, (Texts{"TWO", Counting(0xF6, 10), Counting(6, 32), Counting(38, 16),
                                     "2 Blocks", "05/13/2000", "14:03:59", "No", "Data"}));
  // No header to read, or none along a sound chain: empty descriptions.
  EXPECT_EQ(rows_[3].columns,
            (Texts{"EMPTY", "", "", "", "0 Blocks", "05/13/2000", "14:03:59", "No", "Data"}));
  EXPECT_EQ(rows_[4].Text(FileColumn::ShortDescription), "");
  EXPECT_EQ(rows_[5].Text(FileColumn::ShortDescription), shortText);
  EXPECT_EQ(free_, 200 - 3 - 3 - 2 - 3);

  Words expected = {"R255", "R254", "R253", "R199", "R1", "R194", "R190"};
  for (int block = 252; block >= 241; --block)
    expected.push_back("R" + std::to_string(block));
  EXPECT_EQ(sim_.TakeTransfers(), expected);
  EXPECT_EQ(progress_.message, "Refreshing file list...");
  EXPECT_EQ(progress_.upper, 208);  // every slot of the 13 blocks
  EXPECT_EQ(progress_.positions.size(), 208u);
  EXPECT_EQ(progress_.positions.back(), 207);
  EXPECT_FALSE(progress_.open);
  EXPECT_TRUE(user_.messages.empty());

  // Properties show the row's values and write nothing.
  for (const FileTexts& row : rows_) {
    FileTexts properties;
    ASSERT_EQ(GetFileProperties(sim_.Card(), row.index, user_, properties), CommandResult::Done);
    EXPECT_EQ(properties.columns, row.columns);
    EXPECT_EQ(properties.copyProtect, row.copyProtect);
  }
  EXPECT_FALSE(HasWrites(sim_.TakeTransfers()));
  EXPECT_TRUE(user_.messages.empty());
}

TEST_F(RefreshListTest, CancelKeepsTheRowsListedSoFar) {
  for (const std::uint16_t slot : std::initializer_list<std::uint16_t>{0, 2, 3, 4})
    Place(slot, Entry(CVmuDirEntry::kData, "F", static_cast<std::uint16_t>(199 - slot), 1),
          Blocks(1));
  Load();
  progress_.CancelAtPosition(3);
  EXPECT_EQ(Refresh(), CommandResult::Cancelled);
  EXPECT_EQ(RowIndices(), (Indices{0, 2}));
  EXPECT_EQ(progress_.positions, (std::vector<std::int32_t>{0, 1, 2}));
  EXPECT_FALSE(progress_.open);
  EXPECT_TRUE(user_.messages.empty());
}

TEST_F(RefreshListTest, APageThatIsNotFormattedIsNamedSo) {
  page_.GetBlock(255)[15] = 0x54;
  Place(0, Entry(CVmuDirEntry::kData, "HIDDEN", 199, 1), Blocks(1));
  Load();
  EXPECT_EQ(Refresh(), CommandResult::Failed);
  EXPECT_TRUE(rows_.empty());
  EXPECT_FALSE(free_);
  EXPECT_EQ(user_.messages, Words{"This page of the memory card is not formatted."});
  EXPECT_EQ(sim_.TakeTransfers(), Words{"R255"});
  EXPECT_EQ(progress_.creates, 0);
}

TEST_F(RefreshListTest, EverySlotOfTheDirectorysBlocksIsExamined) {
  Load();
  sim_.Sim().Faults().silentAfter = 0;  // no root block: no count
  EXPECT_EQ(Refresh(), CommandResult::Failed);
  EXPECT_TRUE(rows_.empty());
  EXPECT_EQ(user_.messages, Words{StatusMessage(status::kTimeout)});
  EXPECT_EQ(progress_.creates, 0);
  FileTexts properties;
  EXPECT_EQ(GetFileProperties(sim_.Card(), 0, user_, properties), CommandResult::Failed);
  EXPECT_EQ(user_.messages, Words(2, StatusMessage(status::kTimeout)));

  // Every slot of the directory's blocks, whatever the root counts.
  sim_.Sim().Faults().silentAfter = -1;
  for (const std::uint16_t count : {std::uint16_t{240}, std::uint16_t{0}}) {
    SetRootField(card_format::kRootDirectoryEntryCount, count);
    Load();
    EXPECT_EQ(Refresh(), CommandResult::Done);
    EXPECT_EQ(progress_.upper, 208);
  }
}

}  // namespace
