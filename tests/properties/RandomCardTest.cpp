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

#include "CardConsistency.h"
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
  std::vector<std::uint16_t> chain;
  Bytes blocks;  // storage order
};

// A formatted page with up to a dozen files in random slots: now and then a
// game from block 0 upward, and data files of 1 to 20 blocks each scattered
// over the free blocks in random order, so that chains jump about and free
// space is full of holes.
struct RandomCard {
  CPageImage page = CPageImage::Formatted();
  std::vector<PlacedFile> files;  // in slot order
};

RandomCard MakeCard(std::uint32_t seed) {
  static const std::uint8_t kTypes[] = {0x33, 0x33, 0x01, 0x80};
  std::mt19937 rng(seed);
  std::vector<std::uint16_t> slots(CPageImage::kEntryCount);
  std::iota(slots.begin(), slots.end(), 0);
  std::shuffle(slots.begin(), slots.end(), rng);
  slots.resize(static_cast<std::size_t>(Pick(rng, 0, 12)));
  RandomCard card;
  std::vector<std::uint16_t> free(kUserBlocks);
  std::iota(free.begin(), free.end(), 0);
  bool game = Pick(rng, 0, 2) == 0;
  for (const std::uint16_t slot : slots) {
    const auto size = static_cast<std::uint16_t>(Pick(rng, 1, game ? 10 : 20));
    std::vector<std::uint16_t> chain;
    if (game) {
      chain.resize(size);
      std::iota(chain.begin(), chain.end(), 0);
      free.erase(free.begin(), free.begin() + size);
    } else {
      if (size > free.size()) continue;
      std::shuffle(free.begin(), free.end(), rng);
      chain.assign(free.end() - size, free.end());
      free.resize(free.size() - size);
    }
    PlacedFile file{
        slot,
        RandomEntry(rng, game ? CVmuDirEntry::kGame : kTypes[Pick(rng, 0, 3)], chain[0], size),
        chain, RandomBytes(rng, std::size_t{kBlockSize} * size)};
    PlaceChain(card.page, slot, file.entry.GetData(), chain, file.blocks);
    card.files.push_back(std::move(file));
    game = false;
  }
  std::sort(card.files.begin(), card.files.end(),
            [](const PlacedFile& a, const PlacedFile& b) { return a.slot < b.slot; });
  return card;
}

// A DCI file: the entry, then the blocks in wire order.
Bytes Dci(const CVmuDirEntry& entry, Bytes blocks) {
  card_format::ReverseGroups(blocks.data(), blocks.size());
  blocks.insert(blocks.begin(), entry.GetData(), entry.GetData() + CVmuDirEntry::kLength);
  return blocks;
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

  CCardOnSimulator sim_;
  std::unique_ptr<CVmuCard> card_ = sim_.MakeCard();  // no recording: hundreds of cards
  CScriptedProgress progress_;
  CScriptedUser user_;
  CScratchDirectory scratch_;
  const std::string path_ = scratch_.File("file");
};

// The card an upload should leave, worked out here: the new chain takes the
// highest free blocks, the entry the given slot; a replaced file's old chain
// is freed (its bytes stay).
CPageImage Expected(const CPageImage& before, std::uint16_t slot, CVmuDirEntry entry,
                    const Bytes& blocks, const std::vector<std::uint16_t>& oldChain) {
  const std::vector<std::uint16_t> free = FreeUserBlocks(before);
  const std::vector<std::uint16_t> chain(free.begin(), free.begin() + entry.GetSize());
  CPageImage expected = before;
  PlaceChain(expected, slot, entry.GetData(), chain, blocks);
  for (const std::uint16_t block : oldChain)
    expected.SetFatEntry(block, CVmuFat::kFree);
  return expected;
}

// Uploads of new names and replacements of files on the card take only free
// blocks, from the top down through the holes, and leave the card consistent,
// or are refused for want of space with the card unchanged.
TEST_F(RandomCardTest, UploadsAndReplacementsTakeOnlyFreeBlocksAndReadBackUnchanged) {
  for (std::uint32_t seed = 1; seed <= kCards; ++seed) {
    SCOPED_TRACE(::testing::Message() << "card of seed " << seed);
    const RandomCard card = MakeCard(seed);
    std::mt19937 rng(seed + 1000000);
    const auto size = static_cast<std::uint16_t>(Pick(rng, 1, 60));
    CVmuDirEntry entry = RandomEntry(rng, static_cast<std::uint8_t>(Pick(rng, 1, 0xCB)),
                                     static_cast<std::uint16_t>(Pick(rng, 0, 0xFFFF)), size);
    std::vector<std::uint16_t> oldChain;
    std::uint16_t slot = 0;
    // Odd seeds replace a data file of the card, when it has one.
    const PlacedFile* replaced = nullptr;
    for (const PlacedFile& file : card.files)
      if (seed % 2 == 1 && file.entry.GetType() != CVmuDirEntry::kGame) replaced = &file;
    if (replaced != nullptr) {
      std::memcpy(entry.GetData() + 4, replaced->entry.GetData() + 4, 12);
      oldChain = replaced->chain;
      slot = replaced->slot;
      user_.AnswerNextQuestion(true);
    } else {
      CPageImage page = card.page;
      while (EntrySlot(page, slot)[0] != CVmuDirEntry::kFree)
        ++slot;
    }
    const Bytes blocks = RandomBytes(rng, std::size_t{kBlockSize} * size);
    const Bytes dci = Dci(entry, blocks);
    WriteBytes(path_, dci);
    const bool fits = FreeUserBlocks(card.page).size() >= size;

    Load(card.page);
    user_.messages.clear();
    user_.AnswerNextChoice(path_);
    const CommandResult result = UploadFile(*card_, progress_, user_);
    const CPageImage after = sim_.ReadPage();
    if (!fits) {
      EXPECT_EQ(result, CommandResult::Failed);
      ASSERT_EQ(user_.messages.size(), 1u);
      EXPECT_EQ(user_.messages[0].rfind("There is not enough free space", 0), 0u);
      EXPECT_EQ(FirstDifference(after, card.page), "");
      continue;
    }
    ASSERT_EQ(result, CommandResult::Done) << ::testing::PrintToString(user_.messages);
    EXPECT_EQ(FirstDifference(after, Expected(card.page, slot, entry, blocks, oldChain)), "");
    EXPECT_EQ(ConsistencyProblems(after), std::vector<std::string>{});
    card_->Invalidate();
    Bytes back = Download(slot);
    ASSERT_EQ(back.size(), dci.size());
    std::copy_n(dci.begin() + 2, 2, back.begin() + 2);
    EXPECT_EQ(back, dci);
  }
}

}  // namespace
