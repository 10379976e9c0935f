// Properties that must hold on any card, checked on a few hundred random cards
// per run. Each card comes from its own seed, which a failure names, so the
// one card to look at can be made again.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "DciFile.h"
#include "FileCommands.h"
#include "PageCommands.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"
#include "VmuFat.h"

namespace {
using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kCards = 300;
constexpr std::uint32_t kPageRoundTrips = 12;  // each moves three whole pages
using card_format::kBlockSize;
constexpr std::uint16_t kUserBlocks = CVmuFat::kUserBlocks;

int Pick(std::mt19937& rng, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(rng);
}

// Mostly printable bytes with a zero now and then, so that texts end anywhere.
Bytes RandomBytes(std::mt19937& rng, std::size_t count) {
  Bytes bytes(count);
  for (std::uint8_t& byte : bytes)
    byte = Pick(rng, 0, 11) == 0 ? 0 : static_cast<std::uint8_t>(Pick(rng, 0x20, 0xFF));
  return bytes;
}

CVmuDirEntry RandomEntry(std::mt19937& rng, std::uint8_t type, std::uint16_t first,
                         std::uint16_t size) {
  CVmuDirEntry entry;
  entry.CopyFrom(RandomBytes(rng, CVmuDirEntry::kLength).data());
  entry.SetType(type);
  entry.SetFirstBlock(first);
  entry.SetSize(size);
  return entry;
}

struct PlacedFile {
  std::uint16_t slot;
  CVmuDirEntry entry;
  Bytes blocks;  // storage order
};

// A formatted page with up to a dozen files in random slots, each a run of 1
// to 20 blocks descending from a random block where no other file lies.
struct RandomCard {
  CPageImage page = CPageImage::Formatted();
  std::vector<PlacedFile> files;  // in slot order
};

RandomCard MakeCard(std::uint32_t seed) {
  static const std::uint8_t kTypes[] = {0x33, 0x33, 0x01, 0x80, CVmuDirEntry::kGame};
  std::mt19937 rng(seed);
  std::vector<std::uint16_t> slots(CPageImage::kEntryCount);
  std::iota(slots.begin(), slots.end(), 0);
  std::shuffle(slots.begin(), slots.end(), rng);
  slots.resize(static_cast<std::size_t>(Pick(rng, 0, 12)));
  std::sort(slots.begin(), slots.end());
  RandomCard card;
  std::vector<bool> used(kUserBlocks);
  for (const std::uint16_t slot : slots) {
    const int size = Pick(rng, 1, 20), first = Pick(rng, size - 1, kUserBlocks - 1);
    const auto run = used.begin() + first + 1 - size, end = used.begin() + first + 1;
    if (std::find(run, end, true) != end) continue;  // a crowded card keeps fewer files
    std::fill(run, end, true);
    PlacedFile file{slot,
                    RandomEntry(rng, kTypes[Pick(rng, 0, 4)], static_cast<std::uint16_t>(first),
                                static_cast<std::uint16_t>(size)),
                    RandomBytes(rng, std::size_t{kBlockSize} * size)};
    EXPECT_TRUE(card.page.PlaceFile(slot, file.entry, file.blocks.data()));
    card.files.push_back(std::move(file));
  }
  return card;
}

// A DCI file: the entry, then the blocks in wire order.
Bytes Dci(const CVmuDirEntry& entry, Bytes blocks) {
  card_format::ReverseGroups(blocks.data(), blocks.size());
  blocks.insert(blocks.begin(), entry.GetData(), entry.GetData() + CVmuDirEntry::kLength);
  return blocks;
}

// A text field as the listing shows it: up to its first zero byte.
std::string Text(const std::uint8_t* field, std::size_t length) {
  const char* text = reinterpret_cast<const char*>(field);
  return std::string(text, std::find(text, text + length, '\0'));
}

std::string FirstDifference(const CPageImage& actual, const CPageImage& expected) {
  for (std::uint16_t block = 0; block < CVmuCard::kBlockCount; ++block) {
    const std::uint8_t* a = actual.GetData() + block * kBlockSize;
    const std::uint8_t* e = expected.GetData() + block * kBlockSize;
    if (std::memcmp(a, e, kBlockSize) != 0) return "block " + std::to_string(block);
  }
  return "";
}

class RandomCardTest : public ::testing::Test {
 protected:
  void Load(const CPageImage& page) {
    sim_.LoadPage(page);
    card_->Invalidate();
  }
  Bytes Download(std::uint16_t slot) {
    user_.AnswerNextChoice(path_);
    EXPECT_EQ(DownloadFile(*card_, slot, progress_, user_), CommandResult::Done);
    return ReadBytes(path_);
  }
  Bytes Backup() {
    user_.AnswerNextChoice(path_);
    EXPECT_EQ(BackupPage(*card_, progress_, user_), CommandResult::Done);
    return ReadBytes(path_);
  }

  CCardOnSimulator sim_;
  std::unique_ptr<CVmuCard> card_ = sim_.MakeCard();  // no recording: hundreds of cards
  CScriptedProgress progress_;
  CScriptedUser user_;
  CScratchDirectory scratch_;
  const std::string path_ = scratch_.File("file");
};

TEST_F(RandomCardTest, ListingPropertiesAndDownloadsShowEveryFileAsPlaced) {
  for (std::uint32_t seed = 1; seed <= kCards; ++seed) {
    SCOPED_TRACE(::testing::Message() << "card of seed " << seed);
    const RandomCard card = MakeCard(seed);
    Load(card.page);
    std::vector<FileTexts> rows;
    ASSERT_EQ(RefreshList(*card_, progress_, user_, rows), CommandResult::Done);
    ASSERT_EQ(rows.size(), card.files.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const PlacedFile& file = card.files[i];
      const FileTexts& texts = rows[i];
      const std::uint16_t size = file.entry.GetSize();
      EXPECT_EQ(rows[i].index, file.slot);
      EXPECT_EQ(texts.Text(FileColumn::FileName), Text(file.entry.GetData() + 4, 12));
      EXPECT_EQ(texts.Text(FileColumn::ShortDescription), Text(&file.blocks[0], 16));
      EXPECT_EQ(texts.Text(FileColumn::LongDescription), Text(&file.blocks[16], 32));
      EXPECT_EQ(texts.Text(FileColumn::Application), Text(&file.blocks[48], 16));
      EXPECT_EQ(texts.Text(FileColumn::Size),
                std::to_string(size) + (size == 1 ? " Block" : " Blocks"));
      EXPECT_EQ(texts.Text(FileColumn::Type), file.entry.GetType() == 0xCC ? "Game" : "Data");
      FileTexts properties;
      ASSERT_EQ(GetFileProperties(*card_, file.slot, user_, properties), CommandResult::Done);
      EXPECT_EQ(properties.columns, texts.columns);
      EXPECT_EQ(Download(file.slot), Dci(file.entry, file.blocks));
    }
    EXPECT_TRUE(user_.messages.empty());
  }
}

// An upload goes to the run that descends from the highest free block, and is
// refused, writing nothing, when that run is not free all the way down.
TEST_F(RandomCardTest, UploadsTakeOnlyFreeBlocksAndReadBackUnchanged) {
  for (std::uint32_t seed = 1; seed <= kCards; ++seed) {
    SCOPED_TRACE(::testing::Message() << "card of seed " << seed);
    const RandomCard card = MakeCard(seed);
    std::mt19937 rng(seed + 1000000);
    const auto size = static_cast<std::uint16_t>(Pick(rng, 1, 20));
    CVmuDirEntry entry = RandomEntry(rng, static_cast<std::uint8_t>(Pick(rng, 1, 0xCB)),
                                     static_cast<std::uint16_t>(Pick(rng, 0, 0xFFFF)), size);
    const Bytes blocks = RandomBytes(rng, std::size_t{kBlockSize} * size);
    const Bytes dci = Dci(entry, blocks);
    WriteBytes(path_, dci);

    const CPageImage& before = card.page;
    int high = kUserBlocks - 1, slot = 0;
    while (high >= 0 && before.GetFatEntry(static_cast<std::uint16_t>(high)) != CVmuFat::kFree)
      --high;
    bool fits = high + 1 >= size;
    for (int b = high; fits && b > high - size; --b)
      fits = before.GetFatEntry(static_cast<std::uint16_t>(b)) == CVmuFat::kFree;
    CPageImage expected = before;
    while (EntrySlot(expected, static_cast<std::uint16_t>(slot))[0] != CVmuDirEntry::kFree)
      ++slot;
    entry.SetFirstBlock(static_cast<std::uint16_t>(high));
    ASSERT_TRUE(!fits ||
                expected.PlaceFile(static_cast<std::uint16_t>(slot), entry, blocks.data()));

    Load(before);
    user_.messages.clear();
    user_.AnswerNextChoice(path_);
    const CommandResult result = UploadFile(*card_, progress_, user_);
    // The card ends as placing the file by hand leaves it, or unchanged when
    // refused: files in use and the root are never written over.
    EXPECT_EQ(FirstDifference(sim_.ReadPage(), expected), "");
    if (!fits) {
      EXPECT_EQ(result, CommandResult::Failed);
      ASSERT_EQ(user_.messages.size(), 1u);
      EXPECT_EQ(user_.messages[0].rfind("There is not enough free space", 0), 0u);
      continue;
    }
    ASSERT_EQ(result, CommandResult::Done);
    card_->Invalidate();
    Bytes back = Download(static_cast<std::uint16_t>(slot));
    ASSERT_EQ(back.size(), dci.size());
    EXPECT_EQ(card_format::GetLe16(&back[2]), high);
    std::copy_n(dci.begin() + 2, 2, back.begin() + 2);
    EXPECT_EQ(back, dci);
  }
}

TEST_F(RandomCardTest, BackupRestoreBackupGivesTheSameImage) {
  for (std::uint32_t seed = 1; seed <= kPageRoundTrips; ++seed) {
    SCOPED_TRACE(::testing::Message() << "card of seed " << seed);
    CPageImage wire = MakeCard(seed).page;
    Load(wire);
    card_format::ReverseGroups(wire.GetData(), card_format::kPageSize);
    const Bytes backup = Backup();
    ASSERT_EQ(backup, Bytes(wire.GetData(), wire.GetData() + card_format::kPageSize));

    Load(NoisePage(seed));  // the page restored over holds something else entirely
    user_.AnswerNextChoice(path_);
    ASSERT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Done);
    EXPECT_EQ(Backup(), backup);
  }
}

}  // namespace
