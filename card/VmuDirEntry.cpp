#include "VmuDirEntry.h"

#include <cstring>

void CVmuDirEntry::SetFileName(const char* source) {
  std::memcpy(GetData() + card_format::kEntryName, source, kFileNameLength);
}

std::string CVmuDirEntry::GetNameBytes() const {
  const char* name = reinterpret_cast<const char*>(GetData() + card_format::kEntryName);
  return std::string(name, kFileNameLength);
}

void CVmuDirEntry::SetTimestamp(const CVmuTimestamp& timestamp) {
  std::memcpy(GetData() + card_format::kEntryStamp, timestamp.GetData(), CVmuTimestamp::kLength);
}
