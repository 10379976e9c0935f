// The input is a card page (FuzzPage.h), judged by the page checker alone,
// with no card or link. Besides crashes, the target checks that the report
// agrees with the page: every finding names a listed file or a user block no
// chain holds, the files called damaged are those with a chain finding, and
// on a page called sound every chain is whole and its file's own, no name is
// there twice, and the free user blocks and the files' make up all 200.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "CardFormat.h"
#include "FuzzPage.h"
#include "PageCheck.h"
#include "VmuDirEntry.h"

namespace {
using card_format::kBlockSize;
using card_format::kUserBlocks;
constexpr std::uint16_t kNoSlot = 0xFFFF;

bool IsChainFault(PageFault fault) {
  return fault == PageFault::ChainLoops || fault == PageFault::ChainEntersSystem ||
         fault == PageFault::ChainLeavesPage || fault == PageFault::ChainOverFreeBlock ||
         fault == PageFault::SizeDisagrees;
}

void CheckSoundPage(const CPageImage& page, const std::vector<PageFile>& files) {
  std::set<std::uint16_t> held;
  std::set<std::string> names;
  std::size_t userBlocks = 0;
  for (const PageFile& file : files) {
    CVmuDirEntry entry;
    entry.CopyFrom(file.entry.data());
    Require(file.chain.size() == entry.GetSize(),
            "a sound page has a chain that disagrees with its size");
    Require(names.insert(file.name).second, "a sound page has two files of one name");
    for (const std::uint16_t b : file.chain) {
      Require(held.insert(b).second, "a sound page has a block in two chains");
      userBlocks += b < kUserBlocks ? 1 : 0;
    }
    Require(ChainBytes(page, file.chain).size() == file.chain.size() * kBlockSize,
            "a file's bytes are not its blocks");
  }
  const std::vector<std::uint16_t> free = FreeUserBlocks(page);
  for (const std::uint16_t b : free)
    Require(held.count(b) == 0, "a sound page has a free block in a chain");
  Require(free.size() + userBlocks == kUserBlocks,
          "a sound page has user blocks neither free nor a file's");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const CPageImage page = PageFromInput(data, size);
  const PageReport report = CheckPage(page);
  for (const PageFinding& finding : report.findings) {
    if (finding.fault == PageFault::NotFormatted || finding.fault == PageFault::ImplausibleRoot) {
      Require(report.findings.size() == 1, "a page that cannot be read has more findings");
      return 0;
    }
  }
  const std::vector<PageFile> files = FilesOf(page);
  std::set<std::uint16_t> slots, damaged, chained, held;
  for (const PageFile& file : files) {
    CVmuDirEntry entry;
    entry.CopyFrom(file.entry.data());
    char name[CVmuDirEntry::kFileNameLength + 1];
    entry.GetFileName(name);
    Require(file.name.compare(0, file.name.find('\0'), name) == 0 && file.name.size() == 12,
            "a file's name is not its entry's");
    slots.insert(file.slot);
    if (!file.IsSound()) damaged.insert(file.slot);
    held.insert(file.chain.begin(), file.chain.end());
  }
  for (const PageFinding& finding : report.findings) {
    Require(!finding.text.empty() || finding.fault == PageFault::UnnamedBlock,
            "a finding has no text");
    Require(finding.slot == kNoSlot || slots.count(finding.slot) != 0,
            "a finding names a slot that holds no file");
    if (IsChainFault(finding.fault)) chained.insert(finding.slot);
    if (finding.fault == PageFault::UnnamedBlock) {
      Require(finding.block < kUserBlocks && held.count(finding.block) == 0,
              "a block called unnamed is a file's, or no user block");
    }
  }
  Require(chained == damaged, "the files called damaged are not those with chain findings");
  if (report.IsSound()) CheckSoundPage(page, files);
  return 0;
}
