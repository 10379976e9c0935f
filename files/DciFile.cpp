#include "DciFile.h"

#include "CardFormat.h"
#include "FileReader.h"
#include "FileWriter.h"
#include "Messages.h"
#include "VmuDirEntry.h"

namespace {
using card_format::kBlockSize;

// A card file has at most a page's blocks; the rest of a longer file is not read.
constexpr std::size_t kLargestDci = CVmuDirEntry::kLength + std::size_t{kBlockSize} * 256;

Result CannotRead() {
  return Result::Failure(message::kCannotRead.text);
}
}  // namespace

Result CDciFile::Open(const std::string& path) {
  const Result read = ReadRegularFile(path, bytes_, kLargestDci);
  position_ = 0;
  if (!read) return Result::Failure(Fill(message::kCannotReadWhy, {read.Message()}));
  return Result();
}

Result CDciFile::ReadEntry(CVmuDirEntry& entry) {
  if (bytes_.size() - position_ < CVmuDirEntry::kLength) return CannotRead();
  entry.CopyFrom(bytes_.data() + position_);
  position_ += CVmuDirEntry::kLength;
  return Result();
}

Result CDciFile::ReadBlocks(std::uint32_t count, std::vector<std::uint8_t>& blocks) {
  blocks.clear();
  if ((bytes_.size() - position_) / kBlockSize < count) return CannotRead();
  const auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(position_);
  blocks.assign(first, first + static_cast<std::ptrdiff_t>(std::size_t{count} * kBlockSize));
  position_ += blocks.size();
  card_format::ReverseGroups(blocks.data(), blocks.size());
  return Result();
}

Result CDciFile::Write(const std::string& path, const CVmuDirEntry& entry,
                       const std::vector<std::uint8_t>& blocks) {
  std::vector<std::uint8_t> bytes(entry.GetData(), entry.GetData() + CVmuDirEntry::kLength);
  bytes.insert(bytes.end(), blocks.begin(), blocks.end());
  card_format::ReverseGroups(bytes.data() + CVmuDirEntry::kLength, blocks.size());
  return WriteFileReplacing(path, bytes.data(), bytes.size());
}
