#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "CardConsistency.h"
#include "CardOnSimulator.h"
#include "ScratchDirectory.h"
#include "VmuDirEntry.h"

namespace {

namespace fs = std::filesystem;

const fs::path kImages = fs::path(KORVANTIS_REALDATA_DIR) / "images";

std::uint16_t Word(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

struct RealCard {
  const char* name;
  int files;  // entries in use within the directory
};

// Every directory entry the card offers and every file's blocks, read through
// the card object from an image opened by the simulated card, must be exactly
// the image's bytes. (The truncated image is refused by the simulated
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
    fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write);
    const std::vector<std::uint8_t> image = ReadBytes(copy);
    ASSERT_EQ(image.size(), CPageImage::kSize);
    CPageImage page;
    std::memcpy(page.GetData(), image.data(), image.size());
    const std::vector<PageFile> walked = FilesOf(page);

    CCardOnSimulator sim;
    ASSERT_TRUE(sim.Sim().OpenImage(copy, error)) << error;
    CVmuCard& card = sim.Card();
    const std::size_t root = 255 * 512;
    const std::uint16_t start = Word(image, root + 74);
    const std::uint32_t capacity = 16u * Word(image, root + 76);

    std::uint16_t count = 0;
    ASSERT_TRUE(card.GetEntryCount(count));
    EXPECT_EQ(count, std::min<std::uint32_t>(Word(image, root + 80), capacity));
    int files = 0;
    for (std::uint16_t n = 0; n < count; ++n) {
      const std::size_t at = (start - n / 16u) * 512u + n % 16u * 32u;
      CVmuDirEntry entry;
      ASSERT_TRUE(card.ReadDirEntry(n, entry)) << n;
      ASSERT_EQ(0, std::memcmp(entry.GetData(), image.data() + at, 32)) << n;
      if (entry.GetType() == CVmuDirEntry::kFree) continue;
      ++files;

      // The file opens when its chain, walked here on the image's bytes, is
      // sound, and reads as the image holds its blocks in chain order.
      const auto file = std::find_if(walked.begin(), walked.end(),
                                     [n](const PageFile& f) { return f.slot == n; });
      ASSERT_NE(file, walked.end());
      std::unique_ptr<CVmuRegion> region;
      ASSERT_EQ(card.OpenFile(n, region), file->problem.empty()) << n << ": " << file->problem;
      if (!region) continue;
      std::vector<std::uint8_t> read;
      for (std::uint32_t k = 0; k < region->GetBlockCount(); ++k) {
        const std::uint8_t* out = nullptr;
        ASSERT_TRUE(region->Read(k * 512, out, 512, false));
        read.insert(read.end(), out, out + 512);
      }
      EXPECT_EQ(read, ChainBytes(page, file->chain)) << n;
    }
    if (real.files >= 0) {
      EXPECT_EQ(files, real.files);
    }
    EXPECT_EQ(sim.Sim().GetCounters().writeUnits, 0u);
  }
}

}  // namespace
