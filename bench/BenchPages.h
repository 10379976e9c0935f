#pragma once

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "CardFormat.h"
#include "PageImage.h"
#include "VmuDirEntry.h"

// The pages and files the benchmarks of the commands work on.

inline std::string ScratchFile(const char* name) {
  return (std::filesystem::temp_directory_path() / ("korvantis-bench-" + std::string(name)))
      .string();
}

inline CVmuDirEntry DataEntry(std::uint16_t first, std::uint16_t size, int serial) {
  CVmuDirEntry entry;
  std::memset(entry.GetData(), 0, CVmuDirEntry::kLength);
  char name[24];  // 12 for the serials used, room for any int
  std::snprintf(name, sizeof name, "FILE%08d", serial);
  entry.SetType(CVmuDirEntry::kData);
  entry.SetFileName(name);
  entry.SetFirstBlock(first);
  entry.SetSize(size);
  return entry;
}

// A formatted page with files of size blocks from block 199 down.
inline CPageImage PageWithFiles(int count, std::uint16_t size = 1) {
  CPageImage page = CPageImage::Formatted();
  std::vector<std::uint8_t> blocks(std::size_t{size} * card_format::kBlockSize, 0x41);
  for (int i = 0; i < count; ++i) {
    page.PlaceFile(static_cast<std::uint16_t>(i),
                   DataEntry(static_cast<std::uint16_t>(199 - i * size), size, i), blocks.data());
  }
  return page;
}
