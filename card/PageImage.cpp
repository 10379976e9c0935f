#include "PageImage.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "VmuFat.h"
#include "VmuRootBlock.h"

namespace {
void PutWord(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

std::string Lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The extension decides the byte order; true for wire order.
bool WireOrderFor(const std::string& path, bool& wireOrder) {
  const auto dot = path.find_last_of('.');
  const std::string extension = dot == std::string::npos ? "" : Lowercase(path.substr(dot));
  wireOrder = extension == ".dcm";
  return wireOrder || extension == ".bin" || extension == ".vmu";
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

CPageImage::CPageImage() : bytes_(kSize, 0) {}

CPageImage CPageImage::Formatted(const std::uint8_t* stamp) {
  CPageImage page;
  std::uint8_t* root = page.GetBlock(kRootBlock);
  std::memset(root, CVmuRootBlock::kFormatMarker, CVmuRootBlock::kFormatMarkerLength);
  if (stamp != nullptr) std::memcpy(root + 0x30, stamp, 8);
  PutWord(root + 64, kRootBlock);  // the page's last block
  PutWord(root + 68, kRootBlock);  // where the root block lies
  PutWord(root + 70, kFatBlock);
  PutWord(root + 72, 1);
  PutWord(root + 74, kDirectoryStart);
  PutWord(root + 76, kDirectoryBlocks);
  PutWord(root + 80, kEntryCount);
  PutWord(root + 82, 31);   // where game files begin
  PutWord(root + 86, 128);  // how many blocks a game file may take

  for (std::uint16_t block = 0; block < kDirectoryStart - kDirectoryBlocks + 1; ++block) {
    page.SetFatEntry(block, CVmuFat::kFree);
  }
  // The directory is chained from its first block down to its last.
  for (std::uint16_t block = kDirectoryStart; block > kDirectoryStart - kDirectoryBlocks + 1;
       --block) {
    page.SetFatEntry(block, static_cast<std::uint16_t>(block - 1));
  }
  page.SetFatEntry(kDirectoryStart - kDirectoryBlocks + 1, CVmuFat::kLastBlock);
  page.SetFatEntry(kFatBlock, CVmuFat::kLastBlock);
  page.SetFatEntry(kRootBlock, CVmuFat::kLastBlock);
  return page;
}

std::uint16_t CPageImage::GetFatEntry(std::uint16_t block) const {
  const std::uint8_t* at = bytes_.data() + kFatBlock * kBlockSize + 2 * block;
  return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

void CPageImage::SetFatEntry(std::uint16_t block, std::uint16_t value) {
  PutWord(GetBlock(kFatBlock) + 2 * block, value);
}

bool CPageImage::PlaceFile(std::uint16_t slot, const CVmuDirEntry& entry,
                           const std::uint8_t* blocks) {
  const std::uint16_t first = entry.GetFirstBlock();
  const std::uint16_t size = entry.GetSize();
  if (slot >= kDirectoryBlocks * (kBlockSize / CVmuDirEntry::kLength)) return false;
  if (first >= 256 || size == 0 || size > first + 1) return false;

  const std::uint32_t slotBlock = kDirectoryStart - slot / 16u;
  std::memcpy(GetBlock(static_cast<std::uint16_t>(slotBlock)) + (slot % 16u) * 32u, entry.GetData(),
              CVmuDirEntry::kLength);
  for (std::uint16_t k = 0; k < size; ++k) {
    const auto block = static_cast<std::uint16_t>(first - k);
    std::memcpy(GetBlock(block), blocks + k * kBlockSize, kBlockSize);
    SetFatEntry(block, k + 1 < size ? static_cast<std::uint16_t>(block - 1) : CVmuFat::kLastBlock);
  }
  return true;
}

void CPageImage::ReverseGroups(std::uint8_t* bytes, std::size_t size) {
  for (std::size_t group = 0; group + 4 <= size; group += 4) {
    std::swap(bytes[group], bytes[group + 3]);
    std::swap(bytes[group + 1], bytes[group + 2]);
  }
}

bool CPageImage::WriteNewFile(const std::string& path, const std::vector<CPageImage>& pages,
                              std::string& error) {
  bool wireOrder = false;
  if (!WireOrderFor(path, wireOrder)) {
    error = path + ": a card image is named .dcm (wire order), .bin or .vmu (storage order).";
    return false;
  }
  if (pages.size() != 1 && pages.size() != 4) {
    error = path + ": a card image holds one page or four.";
    return false;
  }
  // "x" creates the file only if it does not exist yet, in one step.
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wbx"));
  if (!file) {
    error = errno == EEXIST ? path + " already exists; it is left as it is."
                            : path + ": " + std::strerror(errno);
    return false;
  }
  for (const CPageImage& page : pages) {
    std::vector<std::uint8_t> bytes = page.bytes_;
    if (wireOrder) ReverseGroups(bytes.data(), bytes.size());
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
      error = path + ": " + std::strerror(errno);
      file.reset();
      std::remove(path.c_str());  // no half-written image is left behind
      return false;
    }
  }
  if (std::fclose(file.release()) != 0) {
    error = path + ": " + std::strerror(errno);
    std::remove(path.c_str());
    return false;
  }
  return true;
}
