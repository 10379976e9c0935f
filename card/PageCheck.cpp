#include "PageCheck.h"

#include <algorithm>
#include <map>

#include "Messages.h"

using namespace card_format;

namespace {
constexpr std::uint16_t kNoSlot = 0xFFFF;
constexpr std::uint16_t kNoBlock = 0xFFFF;
constexpr std::uint32_t kEntriesPerBlock = kBlockSize / kDirEntrySize;

struct Layout {
  const std::uint8_t* root;
  std::uint32_t fat = GetLe16(root + kRootFatStart), fatCount = GetLe16(root + kRootFatBlockCount);
  std::uint32_t dir = GetLe16(root + kRootDirectoryStart);
  std::uint32_t rootDirCount = GetLe16(root + kRootDirectoryBlockCount);
  std::uint32_t dirCount = rootDirCount;  // as far as the table chains it, once that is known
  bool IsSystem(std::uint32_t b) const {
    return b == kRootBlock || (b <= fat && b + fatCount > fat) || (b <= dir && b + dirCount > dir);
  }
  std::uint32_t Entries() const {
    return std::min<std::uint32_t>(GetLe16(root + kRootDirectoryEntryCount),
                                   dirCount * kEntriesPerBlock);
  }
};

// Between the user blocks and the root block, as every card keeps its system runs.
bool InSystemArea(std::uint32_t start, std::uint32_t count) {
  return count >= 1 && start < kRootBlock && start + 1 >= kUserBlocks + count;
}

bool Plausible(const Layout& layout) {
  const bool apart =
      layout.fat + layout.rootDirCount <= layout.dir || layout.dir + layout.fatCount <= layout.fat;
  return InSystemArea(layout.fat, layout.fatCount) &&
         InSystemArea(layout.dir, layout.rootDirCount) && apart;
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
  std::string text = name.substr(0, name.find('\0'));
  text.erase(text.find_last_not_of(' ') + 1);
  return "\"" + text + "\"";
}

std::string Hex(std::uint16_t value) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 12; shift >= 0; shift -= 4)
    text += digits[value >> shift & 0xF];
  return text;
}

struct ChainWalk {
  PageFault fault;
  std::uint16_t block;
};

// Whether block b may come next in the chain; fault says why not.
bool Fits(const Layout& layout, std::uint32_t b, const std::vector<std::uint16_t>& chain,
          ChainWalk& fault) {
  const auto here = static_cast<std::uint16_t>(b);
  if (b >= kBlocksPerPage) {
    fault = {PageFault::ChainLeavesPage, here};
  } else if (layout.IsSystem(b)) {
    fault = {PageFault::ChainEntersSystem, here};
  } else if (std::count(chain.begin(), chain.end(), b) != 0) {
    fault = {PageFault::ChainLoops, here};
  } else {
    return true;
  }
  return false;
}

// Follows the chain from b for size blocks; the first fault, if any, and where.
bool Walk(const CPageImage& page, const Layout& layout, std::uint32_t b, std::uint32_t size,
          std::vector<std::uint16_t>& chain, ChainWalk& fault) {
  for (std::uint32_t k = 0; k < size; ++k) {
    if (!Fits(layout, b, chain, fault)) return false;
    const auto here = static_cast<std::uint16_t>(b);
    chain.push_back(here);
    b = Next(page, layout, b);
    if (b == kFatFree)
      fault = {PageFault::ChainOverFreeBlock, here};
    else if (b == kFatLastBlock && k + 1 < size)
      fault = {PageFault::ChainEndsEarly, here};
    else if (b != kFatLastBlock && k + 1 == size)
      fault = {PageFault::ChainRunsLong, here};
    else
      continue;
    return false;
  }
  return true;
}

const Message& MessageOf(PageFault fault) {
  switch (fault) {
    case PageFault::ChainLoops:
      return message::kCheckChainLoops;
    case PageFault::ChainEndsEarly:
      return message::kCheckChainEndsEarly;
    case PageFault::ChainRunsLong:
      return message::kCheckChainRunsLong;
    case PageFault::ChainEntersSystem:
      return message::kCheckChainSystem;
    case PageFault::ChainLeavesPage:
      return message::kCheckChainOffPage;
    default:
      return message::kCheckChainFree;
  }
}

std::vector<PageFile> FilesAndFaults(const CPageImage& page, const Layout& layout,
                                     std::vector<PageFinding>* findings) {
  std::vector<PageFile> files;
  for (std::uint32_t n = 0; n < layout.Entries(); ++n) {
    const std::uint8_t* entry =
        page.GetData() + (layout.dir - n / kEntriesPerBlock) * kBlockSize + n % 16 * 32;
    if (entry[0] == 0) continue;
    PageFile file{
        static_cast<std::uint16_t>(n), {entry, entry + 32}, {entry + 4, entry + 16}, {}, ""};
    ChainWalk fault{PageFault::ChainLoops, 0};
    if (!Walk(page, layout, GetLe16(entry + 2), GetLe16(entry + 24), file.chain, fault)) {
      file.problem = Fill(MessageOf(fault.fault), {Quoted(file.name), std::to_string(fault.block)});
      if (findings) findings->push_back({fault.fault, file.slot, fault.block, file.problem});
    }
    files.push_back(std::move(file));
  }
  return files;
}

// Real saves are checksummed either over the header's extent (header, icons,
// eyecatch, data) or over all their blocks; either is taken as right.
std::uint32_t HeaderExtent(const std::vector<std::uint8_t>& file) {
  static const std::uint32_t kEyecatchBytes[] = {0, 72 * 56 * 2, 512 + 72 * 56, 32 + 72 * 56 / 2};
  const std::uint8_t* header = file.data();
  const std::uint16_t eyecatch = GetLe16(header + kHeaderEyecatchType);
  const std::uint32_t data = GetLe16(header + kHeaderDataSize) |
                             std::uint32_t{GetLe16(header + kHeaderDataSize + 2)} << 16;
  const std::uint64_t extent = std::uint64_t{kHeaderIcons} +
                               std::uint64_t{GetLe16(header + kHeaderIconCount)} * kIconFrameSize +
                               (eyecatch < 4 ? kEyecatchBytes[eyecatch] : 0) + data;
  return extent <= file.size() ? static_cast<std::uint32_t>(extent)
                               : static_cast<std::uint32_t>(file.size());
}

bool ChecksumMatches(std::vector<std::uint8_t> file) {
  const std::uint16_t stored = GetLe16(file.data() + kHeaderChecksum);
  file[kHeaderChecksum] = file[kHeaderChecksum + 1] = 0;
  return Crc16(file.data(), HeaderExtent(file)) == stored ||
         Crc16(file.data(), file.size()) == stored;
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
    if (file.entry[0] == 0xCC || file.name == "ICONDATA_VMS" || !file.problem.empty() ||
        file.chain.empty())
      continue;
    const std::vector<std::uint8_t> bytes = ChainBytes(page, file.chain);
    if (ChecksumMatches(bytes)) continue;
    const std::uint16_t computed = DataFileChecksum(bytes);
    report.findings.push_back(
        {PageFault::WrongChecksum, file.slot, computed,
         Fill(message::kCheckWrongChecksum,
              {Quoted(file.name), Hex(GetLe16(bytes.data() + kHeaderChecksum)), Hex(computed)})});
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
        Fill(message::kCheckUnnamedBlocks,
             {count == 1 ? "1 block is" : std::to_string(count) + " blocks are", blocks});
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
  if (std::count(root, root + kFormatMarkerLength, kFormatMarkerByte) != kFormatMarkerLength) {
    report.findings.push_back(
        {PageFault::NotFormatted, kNoSlot, kNoBlock, message::kNotFormatted.text});
    return report;
  }
  const Layout layout = LayoutOf(page);
  if (!Plausible(layout)) {
    const bool fat = !InSystemArea(layout.fat, layout.fatCount);
    report.findings.push_back({PageFault::ImplausibleRoot, kNoSlot, kNoBlock,
                               Fill(message::kCheckImplausibleRoot,
                                    {fat ? "allocation table" : "directory",
                                     std::to_string(fat ? layout.fat : layout.dir),
                                     std::to_string(fat ? layout.fatCount : layout.dirCount)})});
    return report;
  }
  // Real cards often count more entries than the directory holds (240 or
  // 241 where 208 fit); only the directory's own entries are read.
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
  return Crc16(file.data(), HeaderExtent(file));
}
