#include "VmuDirEntry.h"

#include <cstring>

void CVmuDirEntry::SetFileName(const char* source) {
  std::memcpy(GetData() + 4, source, kFileNameLength);
}

void CVmuDirEntry::SetTimestamp(const CVmuTimestamp& timestamp) {
  std::memcpy(GetData() + 16, timestamp.GetData(), CVmuTimestamp::kLength);
}
