#include "PageImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "RealData.h"
#include "ResultAssertion.h"
#include "ScratchDirectory.h"
#include "VmuFat.h"

namespace {

// The free-block searches and the entry count over a formatted page are
// tested with the regions and the card object, its bytes against a real card.
TEST(PageImage, FormattedPageIsAnEmptyCardToTheCardLayer) {
  const CPageImage page = CPageImage::Formatted();
  CCardOnSimulator sim;
  sim.LoadPage(page);
  for (std::uint16_t n = 0; n < 208; ++n) {
    CVmuDirEntry entry;
    ASSERT_TRUE(sim.Card().ReadDirEntry(n, entry));
    EXPECT_EQ(entry.GetType(), 0) << n;
  }
  // The root, the table that chains the directory, then the directory.
  std::vector<std::string> expected = {"R255", "R254"};
  for (int block = 253; block >= 241; --block)
    expected.push_back("R" + std::to_string(block));
  EXPECT_EQ(sim.TakeTransfers(), expected);
}

TEST(PageImage, FormattedPageMatchesARealFreshCard) {
  KORVANTIS_NEED_REALDATA("images/empty_vmu_image.bin");
  const std::vector<std::uint8_t> real = ReadBytes(RealData("images/empty_vmu_image.bin"));
  ASSERT_EQ(real.size(), card_format::kPageSize);
  const std::uint8_t* realRoot = real.data() + 255 * 512;
  const CPageImage page = CPageImage::Formatted(realRoot + 48);

  // Where the two differ by choice rather than by layout: the owner's colour
  // (root bytes 16 to 20), icon (field 78) and field 82, and FAT entries 200
  // to 240, which a new image marks free while this card holds 0 there.
  auto chosen = [](std::uint32_t at) {
    const std::uint32_t root = 255 * 512, fat = 254 * 512;
    return (at >= root + 16 && at <= root + 20) || (at >= root + 78 && at <= root + 79) ||
           (at >= root + 82 && at <= root + 83) || (at >= fat + 400 && at <= fat + 481);
  };
  std::vector<std::uint32_t> differing;
  for (std::uint32_t at = 0; at < card_format::kPageSize; ++at) {
    if (!chosen(at) && page.GetData()[at] != real[at]) differing.push_back(at);
  }
  ASSERT_TRUE(differing.empty()) << differing.size() << " bytes differ, the first at block "
                                 << differing[0] / 512 << " byte " << differing[0] % 512
                                 << ": here " << int{page.GetData()[differing[0]]}
                                 << ", on the real card " << int{real[differing[0]]};
}

// The extension decides the order whatever its case, for this writer and for
// the simulated card that opens the file.
TEST(PageImage, NewFilesTakeTheOrderTheirExtensionNames) {
  CScratchDirectory scratch;
  struct Case {
    const char* name;
    std::size_t pages;
    bool wire;
  };
  for (const Case c : {Case{"a.dcm", 1, true}, Case{"b.Bin", 1, false}, Case{"c.VMU", 4, false},
                       Case{"d.DCM", 4, true}}) {
    std::vector<CPageImage> pages;
    for (std::size_t p = 0; p < c.pages; ++p)
      pages.push_back(NoisePage(static_cast<std::uint32_t>(10 + p)));
    const std::string path = scratch.File(c.name);
    ASSERT_TRUE(Succeeded(CPageImage::WriteNewFile(path, pages)));

    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), c.pages * card_format::kPageSize) << c.name;
    for (std::size_t p = 0; p < c.pages; ++p) {
      std::vector<std::uint8_t> expected(pages[p].GetData(),
                                         pages[p].GetData() + card_format::kPageSize);
      if (c.wire) card_format::ReverseGroups(expected.data(), expected.size());
      EXPECT_TRUE(
          std::equal(expected.begin(), expected.end(), bytes.begin() + p * card_format::kPageSize))
          << c.name << " page " << p;
    }
    CCardOnSimulator sim;
    ASSERT_TRUE(Succeeded(sim.Sim().OpenImage(path, ImageAccess::Write)));
    EXPECT_EQ(0, std::memcmp(sim.ReadPage(0).GetData(), pages[0].GetData(), card_format::kPageSize))
        << c.name;
  }
}

TEST(PageImage, NewFilesAreRefusedWithoutTouchingAnything) {
  CScratchDirectory scratch;
  const std::vector<CPageImage> one(1, CPageImage::Formatted());
  const std::string existing = scratch.File("old.bin");
  std::ofstream(existing) << "keep me";
  const Result written = CPageImage::WriteNewFile(existing, one);
  EXPECT_EQ(written.Message(), existing + " already exists; it is left as it is.");
  EXPECT_EQ(ReadBytes(existing), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
  // Even a link to nowhere is something that has the name.
  std::filesystem::create_symlink("nowhere.bin", scratch.File("link.bin"));
  EXPECT_FALSE(CPageImage::WriteNewFile(scratch.File("link.bin"), one));

  for (const char* name : {"card.img", "card", "card.bin.txt"})
    EXPECT_FALSE(CPageImage::WriteNewFile(scratch.File(name), one)) << name;
  const std::vector<CPageImage> two(2, CPageImage::Formatted());
  EXPECT_FALSE(CPageImage::WriteNewFile(scratch.File("two.bin"), two));
  // Nothing else was made, not even a temporary file.
  const auto entries = std::distance(std::filesystem::directory_iterator(scratch.Path()),
                                     std::filesystem::directory_iterator());
  EXPECT_EQ(entries, 2);
}

TEST(PageImage, PlaceFileLaysOutEntryRunAndChain) {
  CPageImage page = CPageImage::Formatted();
  std::vector<std::uint8_t> blocks(3 * 512);
  for (std::size_t i = 0; i < blocks.size(); ++i)
    blocks[i] = static_cast<std::uint8_t>(i / 512 + 1);
  CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, 120, 3);
  ASSERT_TRUE(page.PlaceFile(17, entry, blocks.data()));

  CPageImage expected = CPageImage::Formatted();
  std::memcpy(EntrySlot(expected, 17), entry.GetData(), CVmuDirEntry::kLength);
  for (std::uint16_t k = 0; k < 3; ++k)
    std::memset(expected.GetBlock(static_cast<std::uint16_t>(120 - k)), k + 1, 512);
  expected.SetFatEntry(120, 119);
  expected.SetFatEntry(119, 118);
  expected.SetFatEntry(118, CVmuFat::kLastBlock);
  EXPECT_EQ(0, std::memcmp(page.GetData(), expected.GetData(), card_format::kPageSize));

  // Slots past the directory, runs off the page or below block 0, no blocks.
  struct Bad {
    std::uint16_t slot, first, size;
  };
  for (const Bad bad : {Bad{208, 10, 1}, Bad{0xFFFF, 10, 1}, Bad{0, 256, 1}, Bad{0, 10, 0},
                        Bad{0, 1, 3}, Bad{0, 0xFFFF, 2}}) {
    entry.SetFirstBlock(bad.first);
    entry.SetSize(bad.size);
    EXPECT_FALSE(page.PlaceFile(bad.slot, entry, blocks.data())) << bad.slot << " " << bad.first;
  }
  EXPECT_EQ(0, std::memcmp(page.GetData(), expected.GetData(), card_format::kPageSize));

  // The last slot and the bottom block are still inside.
  entry.SetFirstBlock(0);
  entry.SetSize(1);
  EXPECT_TRUE(page.PlaceFile(207, entry, blocks.data()));
  EXPECT_EQ(page.GetFatEntry(0), CVmuFat::kLastBlock);
  EXPECT_EQ(page.GetBlock(241)[15 * card_format::kDirEntrySize], CVmuDirEntry::kData);
}

}  // namespace
