#include "VmuFat.h"

#include <string>

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
  out.blocks.clear();
  out.fault.clear();
  const std::string prefix = "the allocation chain ";
  std::vector<bool> seen(card_format::kBlocksPerPage, false);
  std::uint32_t block = first;
  for (std::uint32_t k = 0; k < size; ++k) {
    if (block >= card_format::kBlocksPerPage) {
      out.fault = prefix + "leaves the page at block " + std::to_string(block);
    } else if (block == CVmuRootBlock::kBlock) {
      out.fault = prefix + "enters block " + std::to_string(block) + ", the root block";
    } else if (InRun(*this, block)) {
      out.fault =
          prefix + "enters block " + std::to_string(block) + ", which holds the allocation table";
    } else if (InRun(directory, block)) {
      out.fault = prefix + "enters block " + std::to_string(block) + ", which holds the directory";
    } else if (seen[block]) {
      out.fault = prefix + "comes back to block " + std::to_string(block);
    }
    if (!out.IsSound()) return true;
    seen[block] = true;
    out.blocks.push_back(static_cast<std::uint16_t>(block));

    std::uint16_t next = 0;
    if (!GetEntry(static_cast<std::uint16_t>(block), next)) return false;
    if (next == kLastBlock) {
      if (k + 1 < size) {
        out.fault = prefix + "ends after " + std::to_string(k + 1) + " of " + std::to_string(size) +
                    " blocks";
      }
      return true;
    }
    if (next == kFree) {
      out.fault = prefix + "reaches block " + std::to_string(block) + ", which is marked free";
      return true;
    }
    block = next;
  }
  // The size-th block's entry names yet another block.
  if (size != 0) {
    out.fault =
        prefix + "runs on past " + std::to_string(size) + (size == 1 ? " block" : " blocks");
  }
  return true;
}
