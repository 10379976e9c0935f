#include "VmuDirectory.h"

#include "VmuBuffer.h"

bool CVmuDirectory::ReadEntry(std::uint16_t n, CVmuBuffer& entry) {
  const std::uint8_t* bytes = nullptr;
  if (!Read(card_format::kDirEntrySize * n, bytes, entry.GetLength(), false)) return false;
  entry.CopyFrom(bytes);
  return true;
}

bool CVmuDirectory::WriteEntry(std::uint16_t n, const CVmuBuffer& entry) {
  return Write(card_format::kDirEntrySize * n, entry.GetData(), entry.GetLength(), false);
}
