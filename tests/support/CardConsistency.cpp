#include "CardConsistency.h"

#include <algorithm>
#include <map>

namespace {
constexpr std::uint32_t kBlock = 512;
constexpr std::uint32_t kRoot = 255;
constexpr std::uint16_t kFree = 0xFFFC, kEnd = 0xFFFA;
constexpr std::uint32_t kUserBlocks = 200;

std::uint16_t Word(const CPageImage& page, std::uint32_t at) {
  return static_cast<std::uint16_t>(page.GetData()[at] | page.GetData()[at + 1] << 8);
}

struct Layout {
  std::uint32_t fatStart, fatCount, dirStart, dirCount, entries;
  explicit Layout(const CPageImage& page)
      : fatStart(Word(page, kRoot * kBlock + 70)),
        fatCount(Word(page, kRoot * kBlock + 72)),
        dirStart(Word(page, kRoot * kBlock + 74)),
        dirCount(Word(page, kRoot * kBlock + 76)),
        entries(std::min<std::uint32_t>(Word(page, kRoot * kBlock + 80), dirCount * 16)) {}
  bool IsSystem(std::uint32_t b) const {
    return b == kRoot || (b <= fatStart && b + fatCount > fatStart) ||
           (b <= dirStart && b + dirCount > dirStart);
  }
  std::uint16_t Next(const CPageImage& page, std::uint32_t b) const {
    return Word(page, fatStart * kBlock + 2 * b);
  }
};

// A run from start downward, chained block to block and ended.
std::string CheckSystemRun(const CPageImage& page, const Layout& layout, const char* what,
                           std::uint32_t start, std::uint32_t count) {
  for (std::uint32_t k = 0; k < count; ++k) {
    const std::uint32_t b = start - k;
    const std::uint16_t expected = k + 1 == count ? kEnd : static_cast<std::uint16_t>(b - 1);
    if (layout.Next(page, b) != expected) {
      return std::string(what) + ": block " + std::to_string(b) + " is chained to " +
             std::to_string(layout.Next(page, b));
    }
  }
  return "";
}

void WalkChain(const CPageImage& page, const Layout& layout, PageFile& file) {
  std::vector<bool> seen(256, false);
  std::uint32_t b = file.first;
  for (std::uint32_t k = 0; k < file.size; ++k) {
    if (b >= 256 || layout.IsSystem(b) || seen[b]) {
      file.problem = "block " + std::to_string(k) + " is " + std::to_string(b);
      return;
    }
    seen[b] = true;
    file.chain.push_back(static_cast<std::uint16_t>(b));
    const std::uint16_t next = layout.Next(page, b);
    if ((k + 1 == file.size) != (next == kEnd)) {
      file.problem = "block " + std::to_string(b) + " is chained to " + std::to_string(next) +
                     " as block " + std::to_string(k) + " of " + std::to_string(file.size);
      return;
    }
    b = next;
  }
}
}  // namespace

std::vector<PageFile> FilesOf(const CPageImage& page) {
  const Layout layout(page);
  std::vector<PageFile> files;
  for (std::uint32_t n = 0; n < layout.entries; ++n) {
    const std::uint8_t* entry = page.GetData() + (layout.dirStart - n / 16) * kBlock + n % 16 * 32;
    if (entry[0] == 0) continue;
    PageFile file;
    file.slot = static_cast<std::uint16_t>(n);
    file.type = entry[0];
    file.entry.assign(entry, entry + 32);
    file.name.assign(reinterpret_cast<const char*>(entry + 4), 12);
    file.first = static_cast<std::uint16_t>(entry[2] | entry[3] << 8);
    file.size = static_cast<std::uint16_t>(entry[24] | entry[25] << 8);
    WalkChain(page, layout, file);
    files.push_back(std::move(file));
  }
  return files;
}

PageFile FindFile(const CPageImage& page, const std::string& name) {
  std::string name12 = name;
  name12.resize(12, '\0');
  for (const PageFile& file : FilesOf(page))
    if (file.name == name12) return file;
  PageFile none;
  none.slot = 0xFFFF;
  return none;
}

std::vector<std::uint8_t> ChainBytes(const CPageImage& page,
                                     const std::vector<std::uint16_t>& chain) {
  std::vector<std::uint8_t> bytes;
  for (const std::uint16_t b : chain)
    bytes.insert(bytes.end(), page.GetData() + b * kBlock, page.GetData() + (b + 1) * kBlock);
  return bytes;
}

void PlaceChain(CPageImage& page, std::uint16_t slot, const std::uint8_t* entry,
                const std::vector<std::uint16_t>& chain, const std::vector<std::uint8_t>& data) {
  std::uint8_t* at = page.GetData() + (253 - slot / 16) * kBlock + slot % 16 * 32;
  std::copy(entry, entry + 32, at);
  at[2] = static_cast<std::uint8_t>(chain.empty() ? 0 : chain[0]);
  at[3] = 0;
  std::uint8_t* fat = page.GetData() + 254 * kBlock;
  for (std::size_t k = 0; k < chain.size(); ++k) {
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(k * kBlock), kBlock,
                page.GetData() + chain[k] * kBlock);
    const std::uint16_t next = k + 1 < chain.size() ? chain[k + 1] : kEnd;
    fat[2 * chain[k]] = static_cast<std::uint8_t>(next);
    fat[2 * chain[k] + 1] = static_cast<std::uint8_t>(next >> 8);
  }
}

std::vector<std::uint16_t> FreeUserBlocks(const CPageImage& page) {
  const Layout layout(page);
  std::vector<std::uint16_t> blocks;
  for (int b = kUserBlocks - 1; b >= 0; --b)
    if (layout.Next(page, static_cast<std::uint32_t>(b)) == kFree)
      blocks.push_back(static_cast<std::uint16_t>(b));
  return blocks;
}

std::vector<std::string> ConsistencyProblems(const CPageImage& page, bool allowUnnamedBlocks) {
  const Layout layout(page);
  std::vector<std::string> problems;
  for (const std::string& problem :
       {CheckSystemRun(page, layout, "root", kRoot, 1),
        CheckSystemRun(page, layout, "allocation table", layout.fatStart, layout.fatCount),
        CheckSystemRun(page, layout, "directory", layout.dirStart, layout.dirCount)}) {
    if (!problem.empty()) problems.push_back(problem);
  }

  std::map<std::uint16_t, std::uint16_t> owner;  // block -> slot
  std::map<std::string, std::uint16_t> names;    // name -> slot
  for (const PageFile& file : FilesOf(page)) {
    const std::string slot = "entry " + std::to_string(file.slot);
    if (!file.problem.empty()) problems.push_back(slot + ": " + file.problem);
    if (!names.emplace(file.name, file.slot).second) {
      problems.push_back(slot + " has the name of entry " + std::to_string(names[file.name]));
    }
    for (const std::uint16_t b : file.chain) {
      if (!owner.emplace(b, file.slot).second) {
        problems.push_back(slot + " shares block " + std::to_string(b) + " with entry " +
                           std::to_string(owner[b]));
      }
    }
  }
  for (std::uint16_t b = 0; b < kUserBlocks && !allowUnnamedBlocks; ++b) {
    if (layout.Next(page, b) != kFree && owner.count(b) == 0) {
      problems.push_back("block " + std::to_string(b) + " is used but in no file");
    }
  }
  return problems;
}
