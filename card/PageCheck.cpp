#include "PageCheck.h"

#include <map>

#include "Messages.h"
#include "VmuChain.h"

using namespace card_format;

namespace {
constexpr std::uint16_t kNoSlot = 0xFFFF;
constexpr std::uint16_t kNoBlock = 0xFFFF;

struct Layout {
  const std::uint8_t* root;
  std::uint32_t fat = GetLe16(root + kRootFatStart), fatCount = GetLe16(root + kRootFatBlockCount);
  std::uint32_t dir = GetLe16(root + kRootDirectoryStart);
  std::uint32_t rootDirCount = GetLe16(root + kRootDirectoryBlockCount);
  std::uint32_t dirCount = rootDirCount;  // as far as the table chains it, once that is known
  bool IsSystem(std::uint32_t b) const {
    return b == kRootBlock || (b <= fat && b + fatCount > fat) || (b <= dir && b + dirCount > dir);
  }
  // Every slot of the directory's blocks, whatever the root's entry count says.
  std::uint32_t Entries() const { return dirCount * kEntriesPerBlock; }
};

bool Plausible(const Layout& layout) {
  return PlausibleLayout(layout.fat, layout.fatCount, layout.dir, layout.rootDirCount);
}

std::uint16_t Next(const CPageImage& page, const Layout& layout, std::uint32_t b) {
  return GetLe16(page.GetData() + layout.fat * kBlockSize + 2 * b);
}

Layout LayoutOf(const CPageImage& page) {
  Layout layout{page.GetData() + kRootBlock * kBlockSize};
  if (Plausible(layout)) {
    layout.dirCount = ChainedDirectoryBlocks(
        layout.dir, layout.rootDirCount, [&](std::uint32_t b) { return Next(page, layout, b); });
  }
  return layout;
}

std::string Quoted(const std::string& name) {
  return "\"" + DisplayName(name) + "\"";
}

std::string Hex(std::uint16_t value) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 12; shift >= 0; shift -= 4)
    text += digits[value >> shift & 0xF];
  return text;
}

// The finding of a chain that is not sound, in the checker's terms.
PageFinding ChainFinding(const PageFile& file, const CVmuChain& chain) {
  PageFinding finding{PageFault::ChainLoops, file.slot, chain.faultBlock,
                      Fill(message::kCheckFileFault, {Quoted(file.name), ChainFaultText(chain)})};
  switch (chain.fault) {
    case ChainFault::None:
    case ChainFault::Loops:
      break;
    case ChainFault::EntersSystem:
      finding.fault = PageFault::ChainEntersSystem;
      break;
    case ChainFault::LeavesPage:
      finding.fault = PageFault::ChainLeavesPage;
      break;
    case ChainFault::OverFreeBlock:
      finding.fault = PageFault::ChainOverFreeBlock;
      break;
    case ChainFault::SizeDisagrees:
      finding.fault = PageFault::SizeDisagrees;
      finding.block = kNoBlock;
      finding.length = static_cast<std::uint16_t>(chain.blocks.size());
      break;
  }
  return finding;
}

std::vector<PageFile> FilesAndFaults(const CPageImage& page, const Layout& layout,
                                     std::vector<PageFinding>* findings) {
  std::vector<PageFile> files;
  const auto next = [&](std::uint32_t b) { return Next(page, layout, b); };
  const auto isSystem = [&](std::uint32_t b) { return layout.IsSystem(b); };
  for (std::uint32_t n = 0; n < layout.Entries(); ++n) {
    const std::uint8_t* entry = page.GetData() + (layout.dir - n / kEntriesPerBlock) * kBlockSize +
                                n % kEntriesPerBlock * kDirEntrySize;
    if (entry[kEntryType] == kTypeFree) continue;
    PageFile file;
    file.slot = static_cast<std::uint16_t>(n);
    file.entry.assign(entry, entry + kDirEntrySize);
    file.name.assign(entry + kEntryName, entry + kEntryName + kFileNameLength);
    CVmuChain chain =
        WalkChain(GetLe16(entry + kEntryFirstBlock), GetLe16(entry + kEntrySize), next, isSystem);
    file.fault = chain.fault;
    file.faultBlock = chain.faultBlock;
    if (!chain.IsSound() && findings) findings->push_back(ChainFinding(file, chain));
    file.chain = std::move(chain.blocks);
    files.push_back(std::move(file));
  }
  return files;
}

// Real saves are checksummed over the extent their header declares (header,
// icons, eyecatch, data), zero-padded where it runs past their blocks, or
// over all their blocks, and some carry none (0): any of these is right. No
// declared extent beyond a page is real, so the padding stops there.
std::uint64_t DeclaredExtent(const std::vector<std::uint8_t>& file) {
  static const std::uint32_t kEyecatchBytes[] = {0, 72 * 56 * 2, 512 + 72 * 56, 32 + 72 * 56 / 2};
  const std::uint8_t* header = file.data();
  const std::uint16_t eyecatch = GetLe16(header + kHeaderEyecatchType);
  const std::uint32_t data = GetLe32(header + kHeaderDataSize);
  return std::uint64_t{kHeaderIcons} +
         std::uint64_t{GetLe16(header + kHeaderIconCount)} * kIconFrameSize +
         (eyecatch < 4 ? kEyecatchBytes[eyecatch] : 0) + data;
}

// The Crc16 of the file's bytes (its checksum field zeroed), cut or padded
// with zeros to its declared extent; false when that extent is past a page.
bool DeclaredChecksum(std::vector<std::uint8_t> file, std::uint16_t& checksum) {
  const std::uint64_t extent = DeclaredExtent(file);
  if (extent > kPageSize) return false;
  file.resize(static_cast<std::size_t>(extent), 0);
  checksum = Crc16(file.data(), file.size());
  return true;
}

bool ChecksumMatches(std::vector<std::uint8_t> file) {
  const std::uint16_t stored = GetLe16(file.data() + kHeaderChecksum);
  file[kHeaderChecksum] = file[kHeaderChecksum + 1] = 0;
  std::uint16_t declared = 0;
  return stored == 0 || Crc16(file.data(), file.size()) == stored ||
         (DeclaredChecksum(file, declared) && declared == stored);
}

void CheckSystemRuns(const CPageImage& page, const Layout& layout, PageReport& report) {
  // A directory the table chains short is one finding, not one a block.
  const bool chainedShort = layout.dirCount < layout.rootDirCount;
  if (chainedShort) {
    report.findings.push_back(
        {PageFault::SystemChain, kNoSlot,
         static_cast<std::uint16_t>(layout.dir - layout.dirCount + 1),
         Fill(message::kCheckDirectoryChain,
              {std::to_string(layout.dirCount), std::to_string(layout.rootDirCount)})});
  }
  const std::pair<std::uint32_t, std::uint32_t> runs[] = {
      {kRootBlock, 1},
      {layout.fat, layout.fatCount},
      {layout.dir, chainedShort ? 0 : layout.dirCount}};
  for (const auto& [start, count] : runs) {
    for (std::uint32_t k = 0; k < count; ++k) {
      const auto block = static_cast<std::uint16_t>(start - k);
      const std::uint16_t next = Next(page, layout, block);
      if (next != (k + 1 == count ? kFatLastBlock : block - 1)) {
        report.findings.push_back(
            {PageFault::SystemChain, kNoSlot, block,
             Fill(message::kCheckSystemChain, {std::to_string(block), std::to_string(next)})});
      }
    }
  }
}

void CheckFiles(const CPageImage& page, const Layout& layout, PageReport& report) {
  std::map<std::uint16_t, std::uint16_t> owner;  // block -> slot
  std::map<std::string, std::uint16_t> names;    // name -> slot
  for (const PageFile& file : FilesAndFaults(page, layout, &report.findings)) {
    if (!names.emplace(file.name, file.slot).second) {
      report.findings.push_back({PageFault::DuplicateName, file.slot, kNoBlock,
                                 Fill(message::kCheckDuplicateName, {Quoted(file.name)})});
    }
    for (const std::uint16_t b : file.chain) {
      if (!owner.emplace(b, file.slot).second) {
        report.findings.push_back(
            {PageFault::SharedBlock, file.slot, b,
             Fill(message::kCheckSharedBlock, {Quoted(file.name), std::to_string(b)})});
      }
    }
    // Games carry no checksum; the card's own icon file has a header of its own kind.
    if (file.entry[kEntryType] == kTypeGame || file.name == kIconFileName || !file.IsSound() ||
        file.chain.empty())
      continue;
    const std::vector<std::uint8_t> bytes = ChainBytes(page, file.chain);
    if (ChecksumMatches(bytes)) continue;
    const std::uint16_t computed = DataFileChecksum(bytes);
    PageFinding finding{
        PageFault::WrongChecksum, file.slot, kNoBlock,
        Fill(message::kCheckWrongChecksum,
             {Quoted(file.name), Hex(GetLe16(bytes.data() + kHeaderChecksum)), Hex(computed)})};
    finding.checksum = computed;
    report.findings.push_back(finding);
  }
  std::string blocks;
  std::uint16_t count = 0;
  for (std::uint16_t b = 0; b < kUserBlocks; ++b) {
    if (Next(page, layout, b) == kFatFree || owner.count(b) != 0) continue;
    report.findings.push_back({PageFault::UnnamedBlock, kNoSlot, b, ""});
    blocks += (count++ == 0 ? "" : ", ") + std::to_string(b);
  }
  if (count != 0) {
    report.findings.back().text =
        count == 1 ? Fill(message::kCheckUnnamedBlock, {blocks})
                   : Fill(message::kCheckUnnamedBlocks, {std::to_string(count), blocks});
  }
}
}  // namespace

std::vector<std::uint16_t> PageReport::UnnamedBlocks() const {
  std::vector<std::uint16_t> blocks;
  for (const PageFinding& finding : findings)
    if (finding.fault == PageFault::UnnamedBlock) blocks.push_back(finding.block);
  return blocks;
}

PageReport CheckPage(const CPageImage& page) {
  PageReport report;
  const std::uint8_t* root = page.GetData() + kRootBlock * kBlockSize;
  if (!IsFormatMarker(root + kRootFormatMarker)) {
    report.findings.push_back(
        {PageFault::NotFormatted, kNoSlot, kNoBlock, message::kNotFormatted.text});
    return report;
  }
  const Layout layout = LayoutOf(page);
  if (!Plausible(layout)) {
    const std::string text =
        !InSystemArea(layout.fat, layout.fatCount)
            ? Fill(message::kCheckImplausibleFat,
                   {std::to_string(layout.fat), std::to_string(layout.fatCount)})
            : Fill(message::kCheckImplausibleDirectory,
                   {std::to_string(layout.dir), std::to_string(layout.dirCount)});
    report.findings.push_back({PageFault::ImplausibleRoot, kNoSlot, kNoBlock, text});
    return report;
  }
  // Every slot of the directory's blocks is read: real cards count 200, 240
  // or 241 entries where 208 fit, and other tools use the slots past 200.
  CheckSystemRuns(page, layout, report);
  CheckFiles(page, layout, report);
  return report;
}

std::vector<PageFile> FilesOf(const CPageImage& page) {
  const Layout layout = LayoutOf(page);
  if (!Plausible(layout)) return {};
  return FilesAndFaults(page, layout, nullptr);
}

std::vector<std::uint8_t> ChainBytes(const CPageImage& page,
                                     const std::vector<std::uint16_t>& chain) {
  std::vector<std::uint8_t> bytes;
  for (const std::uint16_t b : chain)
    bytes.insert(bytes.end(), page.GetData() + b * kBlockSize,
                 page.GetData() + (b + 1) * kBlockSize);
  return bytes;
}

std::vector<std::uint16_t> FreeUserBlocks(const CPageImage& page) {
  std::vector<std::uint16_t> blocks;
  for (std::uint32_t b = kUserBlocks; b-- > 0;)
    if (Next(page, LayoutOf(page), b) == kFatFree) blocks.push_back(static_cast<std::uint16_t>(b));
  return blocks;
}

std::uint16_t DataFileChecksum(std::vector<std::uint8_t> file) {
  file[kHeaderChecksum] = file[kHeaderChecksum + 1] = 0;
  std::uint16_t checksum = 0;
  return DeclaredChecksum(file, checksum) ? checksum : Crc16(file.data(), file.size());
}
