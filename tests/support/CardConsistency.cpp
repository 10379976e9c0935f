#include "CardConsistency.h"

#include <algorithm>

namespace {
constexpr std::uint32_t kBlock = 512;
constexpr std::uint16_t kEnd = 0xFFFA;
}  // namespace

PageFile FindFile(const CPageImage& page, std::string name) {
  name.resize(12, '\0');
  for (const PageFile& file : FilesOf(page))
    if (file.name == name) return file;
  return PageFile();
}

void PlaceChain(CPageImage& page, std::uint16_t slot, const std::uint8_t* entry,
                const std::vector<std::uint16_t>& chain, const std::vector<std::uint8_t>& data) {
  std::uint8_t* at = page.GetData() + (253 - slot / 16) * kBlock + slot % 16 * 32;
  std::copy(entry, entry + 32, at);
  at[2] = static_cast<std::uint8_t>(chain.empty() ? 0 : chain[0]);
  at[3] = 0;
  for (std::size_t k = 0; k < chain.size(); ++k) {
    std::copy_n(&data[k * kBlock], kBlock, page.GetData() + chain[k] * kBlock);
    page.SetFatEntry(chain[k], k + 1 < chain.size() ? chain[k + 1] : kEnd);
  }
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
