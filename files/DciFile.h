#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

class CVmuDirEntry;

// A DCI file: one card file as its 32-byte directory entry followed by its
// blocks, every aligned group of four bytes in the reverse of the order the
// card storage layer sees (the order the link carries them in).
class CDciFile {
 public:
  static constexpr std::uint32_t kEntrySize = 32;
  static constexpr std::uint32_t kBlockSize = 512;

  bool Open(const std::string& path);
  // Each takes only what the file holds: false when it ends too soon.
  bool ReadEntry(CVmuDirEntry& entry);
  // The next count blocks, in storage order. The buffer grows with what was
  // actually read, so a size field that promises more than the file holds
  // never leads to a large allocation.
  bool ReadBlocks(std::uint32_t count, std::vector<std::uint8_t>& blocks);

  // Writes entry and blocks (storage order) as a new or truncated file. A file
  // that cannot be completed is removed, not left half written.
  static bool Write(const std::string& path, const CVmuDirEntry& entry,
                    const std::vector<std::uint8_t>& blocks);

 private:
  std::ifstream file_;
};
