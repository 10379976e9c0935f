#include "DciFile.h"

#include <cstdio>

#include "PageImage.h"
#include "VmuDirEntry.h"

bool CDciFile::Open(const std::string& path) {
  file_.open(path, std::ios::binary);
  return file_.is_open();
}

bool CDciFile::ReadEntry(CVmuDirEntry& entry) {
  char bytes[kEntrySize];
  if (!file_.read(bytes, kEntrySize)) return false;
  entry.CopyFrom(reinterpret_cast<const std::uint8_t*>(bytes));
  return true;
}

bool CDciFile::ReadBlocks(std::uint32_t count, std::vector<std::uint8_t>& blocks) {
  blocks.clear();
  for (std::uint32_t k = 0; k < count; ++k) {
    const std::size_t at = blocks.size();
    blocks.resize(at + kBlockSize);
    if (!file_.read(reinterpret_cast<char*>(blocks.data() + at), kBlockSize)) return false;
  }
  CPageImage::ReverseGroups(blocks.data(), blocks.size());
  return true;
}

bool CDciFile::Write(const std::string& path, const CVmuDirEntry& entry,
                     const std::vector<std::uint8_t>& blocks) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file.is_open()) return false;
  std::vector<std::uint8_t> wire = blocks;
  CPageImage::ReverseGroups(wire.data(), wire.size());
  file.write(reinterpret_cast<const char*>(entry.GetData()), kEntrySize);
  file.write(reinterpret_cast<const char*>(wire.data()), static_cast<std::streamsize>(wire.size()));
  file.close();
  if (!file) {
    std::remove(path.c_str());
    return false;
  }
  return true;
}
