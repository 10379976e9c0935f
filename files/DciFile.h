#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "Result.h"

class CVmuDirEntry;

// A DCI file: one card file as its 32-byte directory entry followed by its
// blocks, every aligned group of four bytes in the reverse of the order the
// card storage layer sees (the order the link carries them in). A read that
// fails says message::kCannotRead; a write, message::kCannotWrite with the
// system's reason.
class CDciFile {
 public:
  Result Open(const std::string& path);
  // Each takes only what the file holds: a failure when it ends too soon.
  Result ReadEntry(CVmuDirEntry& entry);
  // The next count blocks, in storage order. The buffer grows with what was
  // actually read, so a size field that promises more than the file holds
  // never leads to a large allocation.
  Result ReadBlocks(std::uint32_t count, std::vector<std::uint8_t>& blocks);

  // Writes entry and blocks (storage order) as the whole file at path, which
  // keeps its old content if the writing fails.
  static Result Write(const std::string& path, const CVmuDirEntry& entry,
                      const std::vector<std::uint8_t>& blocks);

 private:
  std::ifstream file_;
};
