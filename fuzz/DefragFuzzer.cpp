// The input is a card page (FuzzPage.h); only a page the checker calls sound,
// header checksums aside, goes on, since Defragment refuses any other. It is
// defragmented on a simulated card; besides crashes, the target checks that
// a refusal leaves the page as it was, and that otherwise the checker finds
// the same and no more, every file keeps its slot, its entry but for the
// first block and its bytes, and the free blocks are as many as before.
//
// Defragment reads the whole page through the simulated link, about 24
// register accesses a byte, so a page that gets that far costs far more than
// one the checker turns away.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "CareCommands.h"
#include "FuzzCard.h"
#include "FuzzPage.h"
#include "FuzzUser.h"
#include "PageCheck.h"
#include "QuietProgress.h"
#include "SimulatedCard.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

namespace {

// The wrong checksums (the file's slot, the checksum its bytes give); false
// when anything else is wrong.
bool ChecksumsOnly(const PageReport& report,
                   std::vector<std::pair<std::uint16_t, std::uint16_t>>& checksums) {
  for (const PageFinding& finding : report.findings) {
    if (finding.fault != PageFault::WrongChecksum) return false;
    checksums.emplace_back(finding.slot, finding.block);
  }
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const CPageImage before = PageFromInput(data, size);
  std::vector<std::pair<std::uint16_t, std::uint16_t>> wrongBefore, wrongAfter;
  if (!ChecksumsOnly(CheckPage(before), wrongBefore)) return 0;

  CSimulatedCard sim;
  PutPage(sim, before);
  const std::unique_ptr<CVmuCard> owned = FuzzCardOn(sim);
  CVmuCard& card = *owned;
  CQuietProgress progress;
  CFuzzUser user("");
  const CommandResult result = DefragmentPage(card, SafetyCopies{}, progress, user);
  const CPageImage after = PageOf(sim);
  if (result != CommandResult::Done) {
    Require(std::memcmp(after.GetData(), before.GetData(), card_format::kPageSize) == 0,
            "a refused defragment changed the page");
    return 0;
  }
  Require(ChecksumsOnly(CheckPage(after), wrongAfter), "defragment damaged a sound page");
  Require(wrongAfter == wrongBefore, "defragment changed what the checksums find");
  const std::vector<PageFile> was = FilesOf(before), is = FilesOf(after);
  Require(was.size() == is.size(), "defragment changed the number of files");
  for (std::size_t k = 0; k < was.size(); ++k) {
    CVmuDirEntry moved, original;
    moved.CopyFrom(is[k].entry.data());
    original.CopyFrom(was[k].entry.data());
    moved.SetFirstBlock(original.GetFirstBlock());
    Require(is[k].slot == was[k].slot &&
                std::memcmp(moved.GetData(), original.GetData(), CVmuDirEntry::kLength) == 0,
            "defragment changed an entry beyond its first block");
    Require(ChainBytes(after, is[k].chain) == ChainBytes(before, was[k].chain),
            "defragment changed a file's bytes");
  }
  Require(FreeUserBlocks(after).size() == FreeUserBlocks(before).size(),
          "defragment changed the number of free blocks");
  return 0;
}
