#include "VmuFat.h"

#include <utility>

#include "VmuRootBlock.h"

namespace {
// Whether block lies in the run a region covers from its start block downward.
bool InRun(const CVmuRegion& region, std::uint32_t block) {
  const std::int64_t start = region.GetStartBlock();
  return block <= start && std::int64_t{block} > start - std::int64_t{region.GetBlockCount()};
}
}  // namespace

bool CVmuFat::GetEntry(std::uint16_t n, std::uint16_t& out) {
  const std::uint8_t* bytes = nullptr;
  if (!Read(2u * n, bytes, 2, false)) return false;
  out = card_format::GetLe16(bytes);
  return true;
}

bool CVmuFat::SetEntry(std::uint16_t n, std::uint16_t value) {
  std::uint8_t bytes[2];
  card_format::PutLe16(bytes, value);
  return Write(2u * n, bytes, 2, false);
}

bool CVmuFat::CountFree(std::uint16_t& out) {
  std::uint16_t count = 0;
  for (std::uint16_t n = 0; n < kUserBlocks; ++n) {
    std::uint16_t entry = 0;
    if (!GetEntry(n, entry)) return false;
    if (entry == kFree) ++count;
  }
  out = count;
  return true;
}

bool CVmuFat::FindFirstFree(std::uint16_t& out) {
  for (std::uint16_t n = 0; n < kUserBlocks; ++n) {
    std::uint16_t entry = 0;
    if (!GetEntry(n, entry)) return false;
    if (entry == kFree) {
      out = n;
      return true;
    }
  }
  return true;
}

bool CVmuFat::FindLastFree(std::uint16_t& out) {
  for (int n = kUserBlocks - 1; n >= 0; --n) {
    std::uint16_t entry = 0;
    if (!GetEntry(static_cast<std::uint16_t>(n), entry)) return false;
    if (entry == kFree) {
      out = static_cast<std::uint16_t>(n);
      return true;
    }
  }
  return true;
}

bool CVmuFat::FindFreeBlocks(std::uint16_t count, std::vector<std::uint16_t>& out) {
  out.clear();
  for (int n = kUserBlocks - 1; n >= 0 && out.size() < count; --n) {
    std::uint16_t entry = 0;
    if (!GetEntry(static_cast<std::uint16_t>(n), entry)) return false;
    if (entry == kFree) out.push_back(static_cast<std::uint16_t>(n));
  }
  return true;
}

bool CVmuFat::ReadChain(std::uint16_t first, std::uint16_t size, const CVmuRegion& directory,
                        CVmuChain& out) {
  bool readable = true;
  const auto next = [&](std::uint32_t block) {
    std::uint16_t entry = kLastBlock;
    readable = readable && GetEntry(static_cast<std::uint16_t>(block), entry);
    return readable ? entry : kLastBlock;
  };
  const auto isSystem = [&](std::uint32_t block) {
    return block == CVmuRootBlock::kBlock || InRun(*this, block) || InRun(directory, block);
  };
  CVmuChain chain = card_format::WalkChain(first, size, next, isSystem);
  if (!readable) return false;
  out = std::move(chain);
  return true;
}
