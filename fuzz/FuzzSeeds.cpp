// Writes seed pages for the targets whose input is a page, made rather than
// kept in the repository since each is a whole page: formatted pages whose
// data files run along scattered chains through the holes deleted files
// left, every other one with a game from block 0, some files in the
// directory's last slots (past the root's count too), and every header
// checksum right. Usage: fuzz_seeds FOLDER.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "CardFormat.h"
#include "PageCheck.h"
#include "PageImage.h"
#include "ScratchFile.h"
#include "VmuDirEntry.h"

namespace {
using namespace card_format;
constexpr std::uint32_t kPages = 4;

std::uint8_t* Slot(CPageImage& page, std::uint16_t slot) {
  return page.GetBlock(static_cast<std::uint16_t>(CPageImage::kDirectoryStart - slot / 16)) +
         slot % 16 * kDirEntrySize;
}

void Place(CPageImage& page, std::uint16_t slot, std::uint8_t type,
           const std::vector<std::uint16_t>& chain) {
  CVmuDirEntry entry;
  char name[CVmuDirEntry::kFileNameLength + 1];
  std::snprintf(name, sizeof name, "FILE%-8u", unsigned{slot});
  entry.SetType(type);
  entry.SetFileName(name);
  entry.SetFirstBlock(chain.front());
  entry.SetSize(static_cast<std::uint16_t>(chain.size()));
  std::copy(entry.GetData(), entry.GetData() + CVmuDirEntry::kLength, Slot(page, slot));
  for (std::size_t k = 0; k < chain.size(); ++k)
    page.SetFatEntry(chain[k], k + 1 < chain.size() ? chain[k + 1] : kFatLastBlock);
  if (type == CVmuDirEntry::kGame) return;
  PutLe16(page.GetBlock(chain.front()) + kHeaderChecksum, 0);
  const std::vector<std::uint8_t> bytes = ChainBytes(page, chain);
  PutLe16(page.GetBlock(chain.front()) + kHeaderChecksum, Crc16(bytes.data(), bytes.size()));
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  std::filesystem::create_directories(argv[1]);
  for (std::uint32_t seed = 1; seed <= kPages; ++seed) {
    std::mt19937 rng(seed);
    CPageImage page = CPageImage::Formatted();
    for (std::uint32_t i = 0; i < kUserBlocks * kBlockSize; ++i)
      page.GetData()[i] = static_cast<std::uint8_t>(rng());
    std::vector<std::uint16_t> free(kUserBlocks);
    std::iota(free.begin(), free.end(), 0);
    if (seed % 2 == 0) {
      const std::vector<std::uint16_t> game(free.begin(), free.begin() + seed * 5);
      Place(page, 0, CVmuDirEntry::kGame, game);
      free.erase(free.begin(), free.begin() + seed * 5);
    }
    std::shuffle(free.begin(), free.end(), rng);
    // Room for the moves to pass through, more on each page.
    const std::size_t leftFree = 10 * seed;
    for (std::uint16_t file = 1; free.size() > leftFree; ++file) {
      const std::size_t size = std::min<std::size_t>(1 + rng() % 10, free.size() - leftFree);
      const std::vector<std::uint16_t> chain(free.end() - static_cast<std::ptrdiff_t>(size),
                                             free.end());
      free.resize(free.size() - size);
      Place(page, file < 20 ? file : static_cast<std::uint16_t>(227 - file), card_format::kTypeData,
            chain);
    }
    const std::string path = std::string(argv[1]) + "/fragmented-" + std::to_string(seed) + ".bin";
    if (!CScratchFile::WriteFile(path, page.GetData(), kPageSize)) {
      std::perror(path.c_str());
      return 1;
    }
  }
  return 0;
}
