#include "VmuCard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "StatusCodes.h"
#include "VmuDirEntry.h"
#include "VmuFat.h"

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
    std::memcpy(EntrySlot(page, n), entry.GetData(), CVmuDirEntry::kLength);
    return page;
  }

  CPageImage page_;
  CCardOnSimulator sim_;
  CVmuCard& card_ = sim_.Card();
};

TEST_F(CardObject, ReadDirEntryFetchesTheRootTheTableThenTheEntrysBlockOnce) {
  CPageImage page = CPageImage::Formatted();
  for (const std::uint16_t n : std::initializer_list<std::uint16_t>{0, 5, 17})
    std::memcpy(EntrySlot(page, n),
                MakeEntry(CVmuDirEntry::kData, static_cast<std::uint16_t>(100 + n), 1).GetData(),
                CVmuDirEntry::kLength);
  Load(page);

  CVmuDirEntry entry;
  ASSERT_TRUE(card_.ReadDirEntry(0, entry));
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R255", "R254", "R253"}));
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
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R255", "R254", "R253"}));
  EXPECT_EQ(card_.GetLastError(), status::kTimeout);  // a success leaves it
}

TEST_F(CardObject, WrittenEntryReachesTheCardOnlyAtFlush) {
  CVmuDirEntry entry;
  ASSERT_TRUE(card_.ReadDirEntry(17, entry));
  sim_.TakeTransfers();
  entry = MakeEntry(CVmuDirEntry::kData, 150, 2);
  ASSERT_TRUE(card_.WriteDirEntry(17, entry));
  EXPECT_TRUE(sim_.TakeTransfers().empty());

  ASSERT_TRUE(card_.Flush());
  EXPECT_EQ(sim_.TakeTransfers(), CCardOnSimulator::BlockStore(252));
  std::memcpy(EntrySlot(page_, 17), entry.GetData(), CVmuDirEntry::kLength);
  EXPECT_EQ(0, std::memcmp(sim_.ReadPage().GetData(), page_.GetData(), card_format::kPageSize));

  sim_.Sim().Faults().wrongAnswers = true;
  ASSERT_TRUE(card_.WriteDirEntry(17, entry));
  EXPECT_FALSE(card_.Flush());
  EXPECT_EQ(card_.GetLastError(), status::kUnexpectedAnswer);
}

// A file is the chain its allocation entries link, whatever direction it
// runs; a chain that is not exactly the file's blocks opens nothing and says
// why. The directory lies in blocks 253 to 241, the table in 254.
TEST_F(CardObject, FilesOpenAlongSoundChainsOnly) {
  struct Case {
    std::uint16_t first, size;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> links;  // block, allocation entry
    std::vector<std::uint16_t> blocks;                           // sound: the chain
    const char* fault;                                           // unsound: why
  };
  constexpr std::uint16_t kEnd = CVmuFat::kLastBlock, kFree = CVmuFat::kFree;
  const Case cases[] = {
      {199, 4, {{199, 198}, {198, 150}, {150, 10}, {10, kEnd}}, {199, 198, 150, 10}, ""},
      {0, 3, {{0, 1}, {1, 2}, {2, kEnd}}, {0, 1, 2}, ""},  // a game file, upward
      {240, 1, {{240, kEnd}}, {240}, ""},                  // above the user blocks
      {77, 0, {{77, kEnd}}, {}, "its size says 0 blocks, its chain holds 1"},
      {199, 1, {{199, 198}, {198, kEnd}}, {}, "its size says 1 block, its chain holds 2"},
      {199, 3, {{199, 198}, {198, 199}}, {}, "its chain runs back to its own block 199"},
      {199, 2, {{199, 254}}, {}, "its chain crosses into system block 254"},  // the table
      {199, 2, {{199, 245}}, {}, "its chain crosses into system block 245"},  // the directory
      {255, 1, {}, {}, "its chain crosses into system block 255"},            // the root
      {199, 2, {{199, 300}}, {}, "its chain leads to block 300, off the page"},
      {0xFFFF, 1, {}, {}, "its chain leads to block 65535, off the page"},
      {199,
       2,
       {{199, 198}, {198, kFree}},
       {},
       "its chain reaches block 198, which the allocation "
       "table marks free"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + "/" + std::to_string(c.size) + " " + c.fault);
    CPageImage page = NoisePage(c.first);
    const CPageImage formatted = CPageImage::Formatted();
    for (std::uint16_t block = 241; block < 256; ++block)
      std::memcpy(page.GetBlock(block), formatted.GetData() + block * 512, 512);
    for (const auto& [block, next] : c.links)
      page.SetFatEntry(block, next);
    std::memcpy(EntrySlot(page, 7), MakeEntry(CVmuDirEntry::kData, c.first, c.size).GetData(),
                CVmuDirEntry::kLength);
    Load(page);

    std::unique_ptr<CVmuRegion> region;
    EXPECT_EQ(card_.OpenFile(7, region), std::string(c.fault).empty());
    if (!region) {
      EXPECT_EQ(ChainFaultText(card_.GetChainFault()), c.fault);
      EXPECT_EQ(card_.GetLastError(), status::kCacheReadAddress);
      continue;
    }
    EXPECT_EQ(ChainFaultText(card_.GetChainFault()), "");
    ASSERT_EQ(region->GetBlockCount(), c.blocks.size());
    for (std::uint32_t k = 0; k < c.blocks.size(); ++k) {
      const std::uint8_t* out = nullptr;
      ASSERT_TRUE(region->Read(k * 512, out, 512, false));
      EXPECT_EQ(0, std::memcmp(out, page_.GetBlock(c.blocks[k]), 512)) << k;
    }
    EXPECT_TRUE(card_.CloseFile(region));
    EXPECT_EQ(region, nullptr);
  }
  EXPECT_EQ(sim_.Sim().GetCounters().writeUnits, 0u);
}

TEST_F(CardObject, InvalidateDropsChangesAndTheLayout) {
  CPageImage other = CPageImage::Formatted();
  other.GetBlock(255)[74] = 250;
  other.GetBlock(255)[76] = 2;
  std::memcpy(EntrySlot(other, 0, 250), MakeEntry(CVmuDirEntry::kData, 77, 2).GetData(),
              CVmuDirEntry::kLength);
  Load(other, 1);
  CPageImage first = CPageImage::Formatted();
  std::memcpy(EntrySlot(first, 0), MakeEntry(CVmuDirEntry::kData, 120, 1).GetData(),
              CVmuDirEntry::kLength);
  Load(first);

  CVmuDirEntry entry;
  ASSERT_TRUE(card_.ReadDirEntry(0, entry));
  ASSERT_TRUE(card_.WriteDirEntry(0, MakeEntry(CVmuDirEntry::kData, 1, 1)));
  EXPECT_TRUE(card_.Invalidate());
  ASSERT_TRUE(card_.ReadDirEntry(0, entry));
  EXPECT_EQ(entry.GetFirstBlock(), 120);
  EXPECT_TRUE(card_.Flush());
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R255", "R254", "R253", "R255", "R254", "R253"}));

  // Another page with its directory elsewhere: the root fields are read anew.
  ASSERT_TRUE(card_.GetLink()->SelectPage(1));
  EXPECT_TRUE(card_.Invalidate());
  ASSERT_TRUE(card_.ReadDirEntry(0, entry));
  EXPECT_EQ(entry.GetFirstBlock(), 77);
  std::uint16_t count = 0;
  ASSERT_TRUE(card_.GetEntryCount(count));
  EXPECT_EQ(count, 32);
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"P1", "R255", "R254", "R250"}));
}

// Every slot of the directory's blocks is a file's place; a new file takes
// one only among the root's count of them, never past the directory's end.
TEST_F(CardObject, EntryCountIsEverySlotAndNewFilesStayWithinTheRootsCount) {
  struct Case {
    std::uint16_t field, blocks, slots, limit;
  };
  for (const Case c : {Case{200, 13, 208, 200}, Case{240, 13, 208, 208}, Case{241, 13, 208, 208},
                       Case{200, 2, 32, 32}, Case{0, 13, 208, 0}}) {
    CPageImage page = CPageImage::Formatted();
    page.GetBlock(255)[80] = static_cast<std::uint8_t>(c.field);
    page.GetBlock(255)[76] = static_cast<std::uint8_t>(c.blocks);
    Load(page);
    std::uint16_t slots = 0, limit = 0;
    ASSERT_TRUE(card_.GetEntryCount(slots) && card_.GetNewEntryLimit(limit));
    EXPECT_EQ(std::make_pair(slots, limit), std::make_pair(c.slots, c.limit)) << c.field;
  }
}

TEST_F(CardObject, DestroyingTheCardWritesNothing) {
  auto card = sim_.MakeCard();
  CVmuDirEntry entry;
  ASSERT_TRUE(card->ReadDirEntry(2, entry));
  ASSERT_TRUE(card->WriteDirEntry(2, MakeEntry(CVmuDirEntry::kData, 5, 1)));
  card.reset();
  EXPECT_EQ(sim_.Sim().GetCounters().writeUnits, 0u);
  EXPECT_EQ(0, std::memcmp(sim_.ReadPage().GetData(), page_.GetData(), card_format::kPageSize));
}

}  // namespace
