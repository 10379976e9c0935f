#include "DciFile.h"

#include "CardFormat.h"
#include "FileWriter.h"
#include "Messages.h"
#include "VmuDirEntry.h"

namespace {
Result CannotRead() {
  return Result::Failure(message::kCannotRead.text);
}
}  // namespace

Result CDciFile::Open(const std::string& path) {
  file_.open(path, std::ios::binary);
  return file_.is_open() ? Result() : CannotRead();
}

Result CDciFile::ReadEntry(CVmuDirEntry& entry) {
  char bytes[CVmuDirEntry::kLength];
  if (!file_.read(bytes, sizeof bytes)) return CannotRead();
  entry.CopyFrom(reinterpret_cast<const std::uint8_t*>(bytes));
  return Result();
}

Result CDciFile::ReadBlocks(std::uint32_t count, std::vector<std::uint8_t>& blocks) {
  using card_format::kBlockSize;
  blocks.clear();
  for (std::uint32_t k = 0; k < count; ++k) {
    const std::size_t at = blocks.size();
    blocks.resize(at + kBlockSize);
    if (!file_.read(reinterpret_cast<char*>(blocks.data() + at), kBlockSize)) return CannotRead();
  }
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
