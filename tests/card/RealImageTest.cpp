#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "ResultAssertion.h"
#include "ScratchDirectory.h"
#include "VmuDirEntry.h"

namespace {

namespace fs = std::filesystem;

const fs::path kImages = fs::path(KORVANTIS_REALDATA_DIR) / "images";

std::uint16_t Word(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return card_format::GetLe16(bytes.data() + at);
}

struct RealCard {
  const char* name;
  int files;  // entries in use within the directory
};

// Every directory entry the card offers and every file's first block, read
// through the card object from an image opened by the simulated card, must be
// exactly the image's bytes. (The truncated image is refused by the simulated
// card's and the command-line tool's tests.)
TEST(RealImages, ReadBackThroughTheCardAsStored) {
  if (!fs::is_directory(kImages)) GTEST_SKIP() << "no real card images at " << kImages;
  const RealCard cards[] = {{"vmu_save_A1.bin", 9},
                            {"ReadFiles_01.vmu", 7},
                            {"PACit.bin", 2},
                            {"vmoooo.bin", 1},
                            {"empty_vmu_image.bin", 0},
                            {"chao_adv2_mod.bin", 1},
                            {"vmu_extended_blocks_2.bin", 1},
                            {"need_defrag_chao_adv2.bin", -1}};
  CScratchDirectory scratch;
  std::string error;
  for (const RealCard& real : cards) {
    SCOPED_TRACE(real.name);
    // A copy, writable, since the simulated card writes back to its image.
    const std::string copy = scratch.File(real.name);
    fs::copy_file(kImages / real.name, copy);
    fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);  // the card writes it
    fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write);
    const std::vector<std::uint8_t> image = ReadBytes(copy);
    ASSERT_EQ(image.size(), card_format::kPageSize);

    CCardOnSimulator sim;
    ASSERT_TRUE(Succeeded(sim.Sim().OpenImage(copy, ImageAccess::Write)));
    CVmuCard& card = sim.Card();
    using namespace card_format;
    const std::size_t root = kRootBlock * kBlockSize;
    const std::uint16_t start = Word(image, root + kRootDirectoryStart);
    const std::uint32_t capacity = 16u * Word(image, root + kRootDirectoryBlockCount);

    std::uint16_t count = 0;
    ASSERT_TRUE(card.GetEntryCount(count));
    EXPECT_EQ(count,
              std::min<std::uint32_t>(Word(image, root + kRootDirectoryEntryCount), capacity));
    int files = 0;
    for (std::uint16_t n = 0; n < count; ++n) {
      const std::size_t at = (start - n / 16u) * kBlockSize + n % 16u * kDirEntrySize;
      CVmuDirEntry entry;
      ASSERT_TRUE(card.ReadDirEntry(n, entry)) << n;
      ASSERT_EQ(0, std::memcmp(entry.GetData(), image.data() + at, 32)) << n;
      if (entry.GetType() == CVmuDirEntry::kFree) continue;
      ++files;

      // A game file lies from its first block upward, a data file downward.
      const std::uint32_t first = entry.GetFirstBlock(), size = entry.GetSize();
      const bool onPage = first < kBlocksPerPage && size >= 1 &&
                          (entry.GetType() == CVmuDirEntry::kGame ? first + size <= kBlocksPerPage
                                                                  : size <= first + 1);
      std::unique_ptr<CVmuRegion> region;
      const std::uint8_t* out = nullptr;
      const bool read = card.OpenFile(n, region) && region->Read(0, out, kBlockSize, false);
      if (onPage) {
        EXPECT_TRUE(read) << "entry " << n << " at block " << first;
      }
      if (read) {
        EXPECT_EQ(0, std::memcmp(out, image.data() + first * kBlockSize, kBlockSize)) << n;
      }
    }
    if (real.files >= 0) {
      EXPECT_EQ(files, real.files);
    }
    EXPECT_EQ(sim.Sim().GetCounters().writeUnits, 0u);
  }
}

}  // namespace
