#include "VmuCard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "StatusCodes.h"
#include "VmuDirEntry.h"

namespace {

using Words = std::vector<std::string>;

class CardObject : public ::testing::Test {
 protected:
  CardObject() { Load(CPageImage::Formatted()); }
  void Load(const CPageImage& page, std::uint32_t number = 0) {
    page_ = page;
    sim_.LoadPage(page_, number);
  }
  // The formatted root block over a noisy page, with entry n put in.
  static CPageImage NoisyCard(std::uint16_t n, const CVmuDirEntry& entry) {
    CPageImage page = NoisePage(n);
    std::memcpy(page.GetBlock(255), CPageImage::Formatted().GetBlock(255), 512);
    std::memcpy(EntrySlot(page, n), entry.GetData(), 32);
    return page;
  }

  CPageImage page_;
  CCardOnSimulator sim_;
  CVmuCard& card_ = sim_.Card();
};

TEST_F(CardObject, ReadDirEntryFetchesTheRootThenTheEntrysBlockOnce) {
  CPageImage page = CPageImage::Formatted();
  for (std::uint16_t n : {0, 5, 17})
    std::memcpy(EntrySlot(page, n), MakeEntry(0x33, 100 + n, 1).GetData(), 32);
  Load(page);

  CVmuDirEntry entry;
  ASSERT_TRUE(card_.ReadDirEntry(0, entry));
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R255", "R253"}));
  EXPECT_EQ(0, std::memcmp(entry.GetData(), EntrySlot(page, 0), 32));
  ASSERT_TRUE(card_.ReadDirEntry(5, entry));
  EXPECT_TRUE(sim_.TakeTransfers().empty());
  EXPECT_EQ(entry.GetFirstBlock(), 105);
  ASSERT_TRUE(card_.ReadDirEntry(17, entry));
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R252"}));
  EXPECT_EQ(0, std::memcmp(entry.GetData(), EntrySlot(page, 17), 32));
}

TEST_F(CardObject, RootBlockTimeoutFailsTheReadAndIsRetried) {
  CVmuDirEntry entry;
  sim_.Sim().Faults().noCard = true;
  EXPECT_FALSE(card_.ReadDirEntry(0, entry));
  EXPECT_EQ(card_.GetLastError(), status::kTimeout);
  EXPECT_FALSE(card_.WriteDirEntry(0, entry));
  std::uint16_t count = 0;
  EXPECT_FALSE(card_.GetEntryCount(count));
  std::unique_ptr<CVmuRegion> region;
  EXPECT_FALSE(card_.OpenFile(0, region));  // an entry that cannot be read opens nothing
  EXPECT_EQ(region, nullptr);
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"-", "-", "-", "-"}));  // each tries the root again

  sim_.Sim().Faults().noCard = false;
  ASSERT_TRUE(card_.ReadDirEntry(0, entry));
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R255", "R253"}));
  EXPECT_EQ(card_.GetLastError(), status::kTimeout);  // a success leaves it
}

TEST_F(CardObject, WrittenEntryReachesTheCardOnlyAtFlush) {
  CVmuDirEntry entry;
  ASSERT_TRUE(card_.ReadDirEntry(17, entry));
  sim_.TakeTransfers();
  entry = MakeEntry(0x33, 150, 2);
  ASSERT_TRUE(card_.WriteDirEntry(17, entry));
  EXPECT_TRUE(sim_.TakeTransfers().empty());

  ASSERT_TRUE(card_.Flush());
  EXPECT_EQ(sim_.TakeTransfers(), CCardOnSimulator::BlockStore(252));
  std::memcpy(EntrySlot(page_, 17), entry.GetData(), 32);
  EXPECT_EQ(0, std::memcmp(sim_.ReadPage().GetData(), page_.GetData(), card_format::kPageSize));

  sim_.Sim().Faults().wrongAnswers = true;
  ASSERT_TRUE(card_.WriteDirEntry(17, entry));
  EXPECT_FALSE(card_.Flush());
  EXPECT_EQ(card_.GetLastError(), status::kUnexpectedAnswer);
}

// A file region ends at block 0 at the latest: game files lie from block 0
// upward, so a descending run reaches only their first block, which the
// listing reads. A region made to be written must fit on the page whole.
TEST_F(CardObject, FileRegionsStartAtTheFirstBlockOrAreRefused) {
  struct Run {
    std::uint8_t type;
    std::uint16_t first, size;
    std::uint32_t openedBlocks;  // 0: refused
    bool made;
  };
  for (const Run run :
       {Run{0x33, 0, 1, 1, true}, Run{0x33, 10, 3, 3, true}, Run{0x33, 255, 256, 256, true},
        Run{0x33, 2, 4, 3, false}, Run{0x33, 0, 9, 1, false},
        Run{CVmuDirEntry::kGame, 0, 9, 1, false}, Run{0x33, 256, 1, 0, false},
        Run{0x33, 300, 2, 0, false}, Run{0x33, 0xFFFF, 1, 0, false}}) {
    SCOPED_TRACE(std::to_string(run.first) + "/" + std::to_string(run.size));
    Load(NoisyCard(7, MakeEntry(run.type, run.first, run.size)));
    std::unique_ptr<CVmuRegion> opened, made;
    EXPECT_EQ(card_.OpenFile(7, opened), run.openedBlocks != 0);
    if (opened) {
      EXPECT_EQ(opened->GetBlockCount(), run.openedBlocks);
      const std::uint8_t* out = nullptr;
      ASSERT_TRUE(opened->Read(0, out, 512, false));
      EXPECT_EQ(0, std::memcmp(out, page_.GetBlock(run.first), 512));
      EXPECT_TRUE(card_.CloseFile(opened));
      EXPECT_EQ(opened, nullptr);
    } else {
      EXPECT_EQ(card_.GetLastError(), status::kCacheReadAddress);
    }
    EXPECT_TRUE(card_.CloseFile(opened));  // an absent region is ignored
    EXPECT_EQ(card_.MakeRegion(run.first, run.size, made), run.made);
    EXPECT_EQ(made != nullptr, run.made);
    if (!run.made) {
      EXPECT_EQ(card_.GetLastError(), status::kCacheWriteAddress);
    }
  }
}

TEST_F(CardObject, InvalidateDropsChangesAndTheLayout) {
  CPageImage other = CPageImage::Formatted();
  other.GetBlock(255)[74] = 250;
  other.GetBlock(255)[76] = 2;
  std::memcpy(EntrySlot(other, 0, 250), MakeEntry(0x33, 77, 2).GetData(), 32);
  Load(other, 1);
  CPageImage first = CPageImage::Formatted();
  std::memcpy(EntrySlot(first, 0), MakeEntry(0x33, 120, 1).GetData(), 32);
  Load(first);

  CVmuDirEntry entry;
  ASSERT_TRUE(card_.ReadDirEntry(0, entry));
  ASSERT_TRUE(card_.WriteDirEntry(0, MakeEntry(0x33, 1, 1)));
  EXPECT_TRUE(card_.Invalidate());
  ASSERT_TRUE(card_.ReadDirEntry(0, entry));
  EXPECT_EQ(entry.GetFirstBlock(), 120);
  EXPECT_TRUE(card_.Flush());
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R255", "R253", "R255", "R253"}));

  // Another page with its directory elsewhere: the root fields are read anew.
  ASSERT_TRUE(card_.GetLink()->SelectPage(1));
  EXPECT_TRUE(card_.Invalidate());
  ASSERT_TRUE(card_.ReadDirEntry(0, entry));
  EXPECT_EQ(entry.GetFirstBlock(), 77);
  std::uint16_t count = 0;
  ASSERT_TRUE(card_.GetEntryCount(count));
  EXPECT_EQ(count, 32);
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"P1", "R255", "R250"}));
}

TEST_F(CardObject, EntryCountStopsAtTheDirectorysEnd) {
  struct Case {
    std::uint16_t field, blocks, expected;
  };
  for (const Case c : {Case{200, 13, 200}, Case{240, 13, 208}, Case{241, 13, 208},
                       Case{208, 13, 208}, Case{200, 2, 32}, Case{0, 13, 0}}) {
    CPageImage page = CPageImage::Formatted();
    page.GetBlock(255)[80] = static_cast<std::uint8_t>(c.field);
    page.GetBlock(255)[76] = static_cast<std::uint8_t>(c.blocks);
    Load(page);
    std::uint16_t count = 0;
    ASSERT_TRUE(card_.GetEntryCount(count));
    EXPECT_EQ(count, c.expected) << c.field << " in " << c.blocks << " blocks";
  }
}

TEST_F(CardObject, DestroyingTheCardWritesNothing) {
  auto card = sim_.MakeCard();
  CVmuDirEntry entry;
  ASSERT_TRUE(card->ReadDirEntry(2, entry));
  ASSERT_TRUE(card->WriteDirEntry(2, MakeEntry(0x33, 5, 1)));
  card.reset();
  EXPECT_EQ(sim_.Sim().GetCounters().writeUnits, 0u);
  EXPECT_EQ(0, std::memcmp(sim_.ReadPage().GetData(), page_.GetData(), card_format::kPageSize));
}

}  // namespace
