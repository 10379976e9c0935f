#include "VmuRegion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "StatusCodes.h"
#include "VmuDirEntry.h"
#include "VmuFat.h"
#include "VmuRootBlock.h"

namespace {

using Words = std::vector<std::string>;

class RegionOverSimulator : public ::testing::Test {
 protected:
  void Load(const CPageImage& page) {
    page_ = page;
    sim_.LoadPage(page_);
  }
  CVmuMemory* Cache() { return sim_.Card().GetCache(); }
  const std::uint8_t* At(std::uint32_t block, std::uint32_t byte) const {
    return page_.GetData() + block * 512 + byte;
  }

  CPageImage page_;
  CCardOnSimulator sim_;
};

TEST_F(RegionOverSimulator, OffsetsRunDownwardFromTheStartBlock) {
  Load(NoisePage(2));
  CVmuDirectory directory(253, 13, Cache());
  struct Slot {
    std::uint16_t entry;
    std::uint32_t block, byte;
  };
  for (const Slot slot :
       {Slot{0, 253, 0}, Slot{15, 253, 480}, Slot{16, 252, 0}, Slot{17, 252, 32}}) {
    CVmuDirEntry entry;
    ASSERT_TRUE(directory.ReadEntry(slot.entry, entry));
    EXPECT_EQ(0, std::memcmp(entry.GetData(), At(slot.block, slot.byte), 32)) << slot.entry;
  }
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R253", "R252"}));

  CVmuRegion file(199, 3, Cache());
  for (std::uint32_t k = 0; k < 3; ++k) {
    const std::uint8_t* out = nullptr;
    ASSERT_TRUE(file.Read(k * 512, out, 512, false));
    EXPECT_EQ(0, std::memcmp(out, At(199 - k, 0), 512)) << k;
  }
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R199", "R198", "R197"}));
}

TEST_F(RegionOverSimulator, TransfersPastTheRegionOrBelowBlockZeroAreRefused) {
  Load(NoisePage(3));
  const std::uint8_t* out = nullptr;
  const std::vector<std::uint8_t> data(512, 0x99);
  CVmuRegion bottom(1, 2, Cache());
  ASSERT_TRUE(bottom.Read(512, out, 512, false));
  EXPECT_EQ(0, std::memcmp(out, At(0, 0), 512));
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R0"}));

  // Past the region's own end (block 8 is on the page, but not the region's),
  // and, for a region of three blocks from block 1, wrapped to block 65535.
  CVmuRegion file(10, 2, Cache());
  CVmuRegion wraps(1, 3, Cache());
  for (CVmuRegion* region : {&bottom, &file, &wraps}) {
    EXPECT_FALSE(region->Read(1024, out, 512, false));
    EXPECT_EQ(region->GetLastError(), status::kCacheReadAddress);
    EXPECT_FALSE(region->Write(1024, data.data(), 512, false));
    EXPECT_EQ(region->GetLastError(), status::kCacheWriteAddress);
  }
  EXPECT_FALSE(file.Read(1000, out, 48, false));  // ends past the second block
  EXPECT_EQ(file.GetLastError(), status::kCacheReadAddress);
  EXPECT_TRUE(sim_.TakeTransfers().empty());
  EXPECT_TRUE(sim_.Card().Flush());
  EXPECT_TRUE(sim_.TakeTransfers().empty());
}

TEST_F(RegionOverSimulator, FreeBlockCountAndSearchesSeeTheUserAreaOnly) {
  struct Case {
    const char* name;
    std::uint16_t usedFrom, usedTo, freeBlock;  // used run, then one free block in it
    std::uint16_t count, first, last;
    std::vector<std::uint16_t> highestThree;  // where a 3-block upload goes
  };
  constexpr std::uint16_t kKept = 4242;  // what the caller put in out
  const Case cases[] = {
      {"all free", 1, 0, 0, 200, 0, 199, {199, 198, 197}},
      {"150 to 199 used", 150, 199, 0xFFFF, 150, 0, 149, {149, 148, 147}},
      {"only 199 free", 0, 199, 199, 1, 199, 199, {199}},
      {"only 0 free", 0, 199, 0, 1, 0, 0, {0}},
      {"none free", 0, 199, 0xFFFF, 0, kKept, kKept, {}},
  };
  for (const Case& c : cases) {
    CPageImage page = CPageImage::Formatted();  // entries 200 to 240 free as well
    for (std::uint32_t n = c.usedFrom; n <= c.usedTo; ++n) {
      page.SetFatEntry(static_cast<std::uint16_t>(n),
                       n % 2 ? CVmuFat::kLastBlock : static_cast<std::uint16_t>(n + 1));
    }
    if (c.freeBlock != 0xFFFF) page.SetFatEntry(c.freeBlock, CVmuFat::kFree);
    Load(page);

    CVmuFat fat(254, 1, Cache());
    std::uint16_t count = kKept, first = kKept, last = kKept;
    EXPECT_TRUE(fat.CountFree(count)) << c.name;
    EXPECT_TRUE(fat.FindFirstFree(first)) << c.name;
    EXPECT_TRUE(fat.FindLastFree(last)) << c.name;
    std::vector<std::uint16_t> highest = {1, 2, 3, 4};
    EXPECT_TRUE(fat.FindFreeBlocks(3, highest)) << c.name;
    EXPECT_EQ(highest, c.highestThree) << c.name;
    EXPECT_EQ(count, c.count) << c.name;
    EXPECT_EQ(first, c.first) << c.name;
    EXPECT_EQ(last, c.last) << c.name;
    EXPECT_EQ(sim_.TakeTransfers(), (Words{"R254"})) << c.name;
  }

  sim_.Sim().Faults().noCard = true;
  sim_.Card().Invalidate();
  CVmuFat fat(254, 1, Cache());
  std::uint16_t count = kKept;
  EXPECT_FALSE(fat.CountFree(count));
  EXPECT_EQ(count, kKept);
  EXPECT_EQ(fat.GetLastError(), status::kTimeout);
  EXPECT_FALSE(fat.FindFirstFree(count));
  EXPECT_FALSE(fat.FindLastFree(count));
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"-", "-", "-"}));  // each stops at entry 0
}

// A root block that cannot be read, and read again later, is tested with the
// card object.
TEST_F(RegionOverSimulator, RootFieldsAreReadOnceAndMakeTheRegions) {
  CPageImage page = NoisePage(6);
  std::uint8_t* root = page.GetBlock(255);
  std::memset(root, 0, 512);
  root[70] = 200, root[72] = 2, root[74] = 198, root[76] = 4, root[78] = 7;
  root[80] = 0xC8, root[81] = 0x00;
  page.GetBlock(200)[74] = 0x34, page.GetBlock(200)[75] = 0x12;
  for (std::uint16_t block = 198; block > 195; --block)  // the table chains the directory
    card_format::PutLe16(page.GetBlock(200) + 2 * block, static_cast<std::uint16_t>(block - 1));
  card_format::PutLe16(page.GetBlock(200) + 2 * 195, CVmuFat::kLastBlock);
  Load(page);
  CVmuRootBlock* rootBlock = sim_.Card().GetRootBlock();

  CVmuFat *first = nullptr, *second = nullptr;
  CVmuDirectory* directory = nullptr;
  ASSERT_TRUE(rootBlock->GetFat(first));
  ASSERT_TRUE(rootBlock->GetFat(second));
  ASSERT_TRUE(rootBlock->GetDirectory(directory));
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->GetStartBlock(), 200);
  EXPECT_EQ(first->GetBlockCount(), 2u);
  EXPECT_EQ(directory->GetStartBlock(), 198);
  EXPECT_EQ(directory->GetBlockCount(), 4u);
  std::uint16_t value = 0;
  ASSERT_TRUE(rootBlock->GetDirectoryEntryCount(value));
  EXPECT_EQ(value, 200);
  ASSERT_TRUE(rootBlock->GetIconShape(value));
  EXPECT_EQ(value, 7);
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R255", "R200"}));  // the directory's chain too

  // Entry n at table offset 2n, little-endian; entry 300 is in the table's second block.
  ASSERT_TRUE(first->GetEntry(37, value));
  EXPECT_EQ(value, 0x1234);
  ASSERT_TRUE(first->GetEntry(300, value));
  ASSERT_TRUE(first->SetEntry(300, 0xABCD));
  ASSERT_TRUE(sim_.Card().Flush());
  Words expected = {"R199"};
  for (const auto& word : CCardOnSimulator::BlockStore(199))
    expected.push_back(word);
  EXPECT_EQ(sim_.TakeTransfers(), expected);
  page.GetBlock(199)[88] = 0xCD, page.GetBlock(199)[89] = 0xAB;
  EXPECT_EQ(0, std::memcmp(sim_.ReadPage().GetData(), page.GetData(), card_format::kPageSize));
}

}  // namespace
