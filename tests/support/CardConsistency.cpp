#include "CardConsistency.h"

#include <algorithm>
#include <map>

namespace {
constexpr std::uint32_t kBlock = 512, kRoot = 255, kUserBlocks = 200;
constexpr std::uint16_t kFree = 0xFFFC, kEnd = 0xFFFA;

std::uint16_t Word(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

struct Layout {
  const std::uint8_t* root;
  std::uint32_t fat = Word(root + 70), fatCount = Word(root + 72);
  std::uint32_t dir = Word(root + 74), dirCount = Word(root + 76);
  bool IsSystem(std::uint32_t b) const {
    return b == kRoot || (b <= fat && b + fatCount > fat) || (b <= dir && b + dirCount > dir);
  }
};

Layout LayoutOf(const CPageImage& page) {
  return Layout{page.GetData() + kRoot * kBlock};
}

std::uint16_t Next(const CPageImage& page, const Layout& layout, std::uint32_t b) {
  return Word(page.GetData() + layout.fat * kBlock + 2 * b);
}

// Where the chain stops being the file's size blocks, each once, none a system block.
std::string Walk(const CPageImage& page, const Layout& layout, std::uint32_t b, std::uint32_t size,
                 std::vector<std::uint16_t>& chain) {
  for (std::uint32_t k = 0; k < size; ++k) {
    if (b >= 256 || layout.IsSystem(b) || std::count(chain.begin(), chain.end(), b) != 0)
      return "block " + std::to_string(k) + " is " + std::to_string(b);
    chain.push_back(static_cast<std::uint16_t>(b));
    b = Next(page, layout, b);
    if ((k + 1 == size) != (b == kEnd))
      return "block " + std::to_string(k) + " is chained to " + std::to_string(b);
  }
  return "";
}
}  // namespace

std::vector<PageFile> FilesOf(const CPageImage& page) {
  const Layout layout = LayoutOf(page);
  const std::uint32_t entries =
      std::min<std::uint32_t>(Word(layout.root + 80), layout.dirCount * 16);
  std::vector<PageFile> files;
  for (std::uint32_t n = 0; n < entries; ++n) {
    const std::uint8_t* entry = page.GetData() + (layout.dir - n / 16) * kBlock + n % 16 * 32;
    if (entry[0] == 0) continue;
    PageFile file{
        static_cast<std::uint16_t>(n), {entry, entry + 32}, {entry + 4, entry + 16}, {}, ""};
    file.problem = Walk(page, layout, Word(entry + 2), Word(entry + 24), file.chain);
    files.push_back(std::move(file));
  }
  return files;
}

PageFile FindFile(const CPageImage& page, std::string name) {
  name.resize(12, '\0');
  for (const PageFile& file : FilesOf(page))
    if (file.name == name) return file;
  return PageFile();
}

std::vector<std::uint8_t> ChainBytes(const CPageImage& page,
                                     const std::vector<std::uint16_t>& chain) {
  std::vector<std::uint8_t> bytes;
  for (const std::uint16_t b : chain)
    bytes.insert(bytes.end(), page.GetData() + b * kBlock, page.GetData() + (b + 1) * kBlock);
  return bytes;
}

std::vector<std::uint16_t> FreeUserBlocks(const CPageImage& page) {
  std::vector<std::uint16_t> blocks;
  for (std::uint32_t b = kUserBlocks; b-- > 0;)
    if (Next(page, LayoutOf(page), b) == kFree) blocks.push_back(static_cast<std::uint16_t>(b));
  return blocks;
}

void PlaceChain(CPageImage& page, std::uint16_t slot, const std::uint8_t* entry,
                const std::vector<std::uint16_t>& chain, const std::vector<std::uint8_t>& data) {
  std::uint8_t* at = page.GetData() + (253 - slot / 16) * kBlock + slot % 16 * 32;
  std::copy(entry, entry + 32, at);
  at[2] = static_cast<std::uint8_t>(chain.empty() ? 0 : chain[0]);
  at[3] = 0;
  std::uint8_t* fat = page.GetData() + 254 * kBlock;
  for (std::size_t k = 0; k < chain.size(); ++k) {
    std::copy_n(&data[k * kBlock], kBlock, page.GetData() + chain[k] * kBlock);
    const std::uint16_t next = k + 1 < chain.size() ? chain[k + 1] : kEnd;
    fat[2 * chain[k]] = static_cast<std::uint8_t>(next);
    fat[2 * chain[k] + 1] = static_cast<std::uint8_t>(next >> 8);
  }
}

std::vector<std::string> ConsistencyProblems(const CPageImage& page, bool allowUnnamedBlocks) {
  const Layout layout = LayoutOf(page);
  std::vector<std::string> problems;
  const std::pair<std::uint32_t, std::uint32_t> runs[] = {
      {kRoot, 1}, {layout.fat, layout.fatCount}, {layout.dir, layout.dirCount}};
  for (const auto& [start, count] : runs) {
    for (std::uint32_t k = 0; k < count; ++k) {
      const std::uint16_t next = Next(page, layout, start - k);
      if (next != (k + 1 == count ? kEnd : start - k - 1))
        problems.push_back("system block " + std::to_string(start - k) + " chained to " +
                           std::to_string(next));
    }
  }
  std::map<std::uint16_t, std::uint16_t> owner;  // block -> slot
  std::map<std::string, std::uint16_t> names;    // name -> slot
  for (const PageFile& file : FilesOf(page)) {
    const std::string slot = "entry " + std::to_string(file.slot);
    if (!file.problem.empty()) problems.push_back(slot + ": " + file.problem);
    if (!names.emplace(file.name, file.slot).second)
      problems.push_back(slot + " has the name of entry " + std::to_string(names[file.name]));
    for (const std::uint16_t b : file.chain)
      if (!owner.emplace(b, file.slot).second)
        problems.push_back(slot + " shares block " + std::to_string(b));
  }
  for (std::uint16_t b = 0; b < kUserBlocks && !allowUnnamedBlocks; ++b)
    if (Next(page, layout, b) != kFree && owner.count(b) == 0)
      problems.push_back("block " + std::to_string(b) + " is used but in no file");
  return problems;
}
