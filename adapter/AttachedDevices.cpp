#include "AttachedDevices.h"

#include "MapleFrame.h"

bool PortDevices::Peripheral::Offers(std::uint32_t code) const {
  for (const Function& function : functions) {
    if (function.code == code) return true;
  }
  return false;
}

bool PortDevices::HasCard(std::uint8_t slot) const {
  return slot >= 1 && std::size_t{slot} <= held.size() &&
         held[slot - 1u].Offers(maple::kStorageFunction);
}

bool PortDevices::Parse(const std::vector<std::uint8_t>& bytes) {
  // The codes are binary, so '|' and ';' are told apart by where they stand.
  std::vector<Peripheral> found(1);
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (bytes[at] == ';') {
      found.emplace_back();
      ++at;
      continue;
    }
    if (bytes[at] != '|' || at + 10 > bytes.size() || bytes[at + 5] != '|') return false;
    found.back().functions.push_back(
        {maple::GetWord(&bytes[at + 1]), maple::GetWord(&bytes[at + 6])});
    at += 10;
  }
  controller = found.front();
  held.assign(found.begin() + 1, found.end());
  return true;
}
