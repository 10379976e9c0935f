#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Result.h"

class CVmuDirEntry;

// A DCI file: one card file as its 32-byte directory entry followed by its
// blocks, every aligned group of four bytes in the reverse of the order the
// card storage layer sees (the order the link carries them in). A read that
// fails says message::kCannotRead (kCannotReadWhy, with the system's reason,
// when the file could not be opened); a write, message::kCannotWrite with the
// system's reason.
class CDciFile {
 public:
  // Reads the file, at most an entry and a whole page's blocks of it. Only a
  // regular file is read: a pipe or a device is refused, never waited on.
  Result Open(const std::string& path);
  // Each takes only what the file holds: a failure when it ends too soon.
  Result ReadEntry(CVmuDirEntry& entry);
  // The next count blocks, in storage order.
  Result ReadBlocks(std::uint32_t count, std::vector<std::uint8_t>& blocks);

  // Writes entry and blocks (storage order) as the whole file at path, which
  // keeps its old content if the writing fails.
  static Result Write(const std::string& path, const CVmuDirEntry& entry,
                      const std::vector<std::uint8_t>& blocks);

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
};
