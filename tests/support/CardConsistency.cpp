#include "CardConsistency.h"

#include <algorithm>

#include "CardOnSimulator.h"

using namespace card_format;

PageFile FindFile(const CPageImage& page, std::string name) {
  name.resize(kFileNameLength, '\0');
  for (const PageFile& file : FilesOf(page))
    if (file.name == name) return file;
  return PageFile();
}

void PlaceChain(CPageImage& page, std::uint16_t slot, const std::uint8_t* entry,
                const std::vector<std::uint16_t>& chain, const std::vector<std::uint8_t>& data) {
  std::uint8_t* at = EntrySlot(page, slot);
  std::copy(entry, entry + kDirEntrySize, at);
  PutLe16(at + kEntryFirstBlock, chain.empty() ? 0 : chain[0]);
  for (std::size_t k = 0; k < chain.size(); ++k) {
    std::copy_n(&data[k * kBlockSize], kBlockSize, page.GetData() + chain[k] * kBlockSize);
    page.SetFatEntry(chain[k], k + 1 < chain.size() ? chain[k + 1] : kFatLastBlock);
  }
}

FileChanges CompareFiles(const CPageImage& before, const CPageImage& after) {
  FileChanges changes;
  for (const PageFile& file : FilesOf(before)) {
    const PageFile now = FindFile(after, file.name);
    if (now.slot == 0xFFFF) {
      changes.gone.push_back(file.name);
    } else if (ChainBytes(after, now.chain) != ChainBytes(before, file.chain)) {
      changes.changed.push_back(file.name);
    }
  }
  for (const PageFile& file : FilesOf(after))
    if (FindFile(before, file.name).slot == 0xFFFF) changes.added.push_back(file.name);
  return changes;
}

std::vector<std::string> ConsistencyProblems(const CPageImage& page, bool allowUnnamedBlocks) {
  std::vector<std::string> problems;
  for (const PageFinding& finding : CheckPage(page).findings) {
    if (finding.fault == PageFault::WrongChecksum) continue;
    if (finding.fault == PageFault::UnnamedBlock && (allowUnnamedBlocks || finding.text.empty()))
      continue;
    problems.push_back(finding.text);
  }
  return problems;
}
