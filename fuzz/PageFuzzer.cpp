// The input is a card page (FuzzPage.h). Besides crashes, the target checks
// that listing, properties and downloads write nothing, and that the upload
// changes no block in use: only free user blocks, the allocation table's block
// and the directory's blocks may change, and a refused upload changes nothing.
//
// Each block costs about 24 register accesses per byte through the simulated
// link, so the work per input is bounded: the listing reads what it reads
// (the system blocks and each listed file's header block, each once, since the
// card caches blocks), Properties run on every row, but downloads are limited
// to files of at most kMaxDownloadBlocks, kDownloadBudget blocks per input.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FileCommands.h"
#include "FuzzCard.h"
#include "FuzzPage.h"
#include "FuzzUser.h"
#include "PageImage.h"
#include "QuietProgress.h"
#include "ScratchFile.h"
#include "SimulatedCard.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"
#include "VmuFat.h"

namespace {
constexpr std::uint16_t kUploadBlocks = 2;
constexpr std::uint16_t kMaxDownloadBlocks = 16;
constexpr std::uint32_t kDownloadBudget = 48;

// A two-block data file, written once for every input's upload.
const std::string& UploadSource() {
  static CScratchFile file("upload.dci");
  static const bool written = [] {
    CVmuDirEntry entry;
    entry.SetType(CVmuDirEntry::kData);
    entry.SetFileName("FUZZUPLOAD  ");
    entry.SetSize(kUploadBlocks);
    std::vector<std::uint8_t> bytes(entry.GetData(), entry.GetData() + CVmuDirEntry::kLength);
    for (std::uint32_t i = 0; i < kUploadBlocks * card_format::kBlockSize; ++i) {
      bytes.push_back(static_cast<std::uint8_t>(i * 7));
    }
    return file.Write(bytes.data(), bytes.size());
  }();
  Require(written, "cannot write the file to upload");
  return file.Path();
}

std::uint16_t Word(CPageImage& page, std::uint32_t offset) {
  return card_format::GetLe16(page.GetData() + offset);
}

// Whether the upload may have changed block on the page that was before it.
bool MayChange(CPageImage& before, std::uint16_t block) {
  using namespace card_format;
  const std::uint32_t root = kRootBlock * kBlockSize;
  const std::uint16_t fatStart = Word(before, root + kRootFatStart);
  const std::uint16_t dirStart = Word(before, root + kRootDirectoryStart);
  const std::uint16_t dirCount = Word(before, root + kRootDirectoryBlockCount);
  // A user block's allocation entry lies in the table's first block.
  if (block < CVmuFat::kUserBlocks) {
    return fatStart < CVmuCard::kBlockCount &&
           Word(before, fatStart * kBlockSize + 2u * block) == CVmuFat::kFree;
  }
  return block == fatStart || (block <= dirStart && block + dirCount > dirStart);
}

void CheckUpload(CPageImage& before, CPageImage& after, bool accepted) {
  for (std::uint16_t block = 0; block < CVmuCard::kBlockCount; ++block) {
    if (std::memcmp(before.GetBlock(block), after.GetBlock(block), card_format::kBlockSize) == 0) {
      continue;
    }
    Require(accepted, "a refused upload changed the card");
    Require(MayChange(before, block), "the upload changed a block in use");
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CPageImage before = PageFromInput(data, size);
  CSimulatedCard sim;
  PutPage(sim, before);

  const std::unique_ptr<CVmuCard> owned = FuzzCardOn(sim);
  CVmuCard& card = *owned;
  CQuietProgress progress;
  CFuzzUser user(UploadSource());

  FileListing listing;
  RefreshList(card, progress, user, listing);
  std::uint32_t budget = kDownloadBudget;
  for (const FileTexts& row : listing.rows) {
    FileTexts properties;
    GetFileProperties(card, row.index, user, properties);
    CVmuDirEntry entry;
    if (!card.ReadDirEntry(row.index, entry)) continue;
    const std::uint16_t blocks = entry.GetSize();
    if (blocks > kMaxDownloadBlocks || blocks > budget) continue;
    budget -= blocks;
    DownloadFile(card, row.index, progress, user);
  }
  CPageImage read = PageOf(sim);
  Require(std::memcmp(read.GetData(), before.GetData(), card_format::kPageSize) == 0,
          "reading the card changed it");

  const bool accepted = UploadFile(card, progress, user) == CommandResult::Done;
  CPageImage after = PageOf(sim);
  CheckUpload(before, after, accepted);
  return 0;
}
