// The input is a VMI file and its VMS file: the first two bytes (little-
// endian) give the VMI's length, its bytes follow, and the rest is the VMS.
// The pair is read as an upload reads it, named by either file. Besides
// crashes, the target checks that both names give the same card file, that
// it fits a card (1 to 200 whole blocks, a data or a game file, the VMI's
// size rounded up), that the VMI a download would write for it keeps the
// file's name, size in blocks, mode and (where the VMI's date is one) date
// and reads back as the same entry and bytes, and that the VMS read alone
// is whole blocks too.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "CardFileSource.h"
#include "CardFormat.h"
#include "FuzzCheck.h"
#include "ScratchFile.h"
#include "VmsFile.h"
#include "VmuDirEntry.h"

namespace {
using Blocks = std::vector<std::uint8_t>;
// The VMI's fields that a card file keeps, as public descriptions give them.
// year (16 bits), month, day, hour, minute, second, weekday (from Sunday = 0)
constexpr std::size_t kVmiDate = 0x44;
constexpr std::size_t kVmiName = 0x58, kVmiMode = 0x64, kVmiSize = 0x68;
constexpr std::uint16_t kVmiModeBits = 3;  // copy-protected, game

// Whether the VMI's date is a date the card's BCD can hold, read as a VMI holds it.
bool IsDate(const std::uint8_t* vmi) {
  const std::uint8_t* at = vmi + kVmiDate;
  return card_format::GetLe16(at) <= 9999 && at[2] >= 1 && at[2] <= 12 && at[3] >= 1 &&
         at[3] <= 31 && at[4] <= 23 && at[5] <= 59 && at[6] <= 59 && at[7] <= 6;
}

// The VMI's size in bytes as the card stores it: in whole blocks.
std::uint32_t InBlocks(const std::uint8_t* vmi) {
  const std::uint32_t bytes = card_format::GetLe32(vmi + kVmiSize);
  return (bytes / card_format::kBlockSize + (bytes % card_format::kBlockSize != 0)) *
         card_format::kBlockSize;
}

bool SameEntry(const CVmuDirEntry& a, const CVmuDirEntry& b) {
  return std::memcmp(a.GetData(), b.GetData(), CVmuDirEntry::kLength) == 0;
}

bool FitsACard(std::size_t bytes) {
  return bytes != 0 && bytes % card_format::kBlockSize == 0 &&
         bytes <= std::size_t{card_format::kUserBlocks} * card_format::kBlockSize;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CScratchFile vmi("SAVE.VMI");
  static const std::string vms = vmi.Beside("SAVE.VMS");
  static const std::string copyVmi = vmi.Beside("COPY.VMI"), copyVms = vmi.Beside("COPY.VMS");
  if (size < 2) return 0;
  const std::size_t vmiLength = std::min<std::size_t>(size - 2, card_format::GetLe16(data));
  if (!vmi.Write(data + 2, vmiLength) ||
      !CScratchFile::WriteFile(vms, data + 2 + vmiLength, size - 2 - vmiLength)) {
    return 0;
  }

  CVmuDirEntry alone;
  Blocks aloneBlocks;
  const std::uint8_t stamp[8] = {0x20, 0x01, 0x09, 0x09, 0x12, 0x00, 0x00, 0x06};
  if (CVmsFile::ReadAlone(vms, stamp, alone, aloneBlocks)) {
    Require(FitsACard(aloneBlocks.size()) &&
                aloneBlocks.size() == std::size_t{alone.GetSize()} * card_format::kBlockSize,
            "a VMS alone was read as no whole number of blocks");
  }

  CVmuDirEntry entry, byVms;
  Blocks blocks, blocksByVms;
  const CardFileSource byVmi = CardFileSourceOf(vmi.Path()), beside = CardFileSourceOf(vms);
  Require(byVmi.kind == CardFileSource::Kind::Pair && beside.kind == CardFileSource::Kind::Pair,
          "a VMS with its VMI beside is not taken as a pair");
  const bool read =
      static_cast<bool>(CVmsFile::ReadPair(byVmi.path, byVmi.vms, stamp, entry, blocks));
  const bool readByVms =
      static_cast<bool>(CVmsFile::ReadPair(beside.path, beside.vms, stamp, byVms, blocksByVms));
  Require(read == readByVms, "the VMI and the VMS name different pairs");
  if (!read) return 0;
  Require(SameEntry(entry, byVms) && blocks == blocksByVms, "the two names read different files");
  Require(FitsACard(blocks.size()) &&
              blocks.size() == std::size_t{entry.GetSize()} * card_format::kBlockSize,
          "a pair was read as no whole number of blocks");
  Require(entry.GetType() == CVmuDirEntry::kData || entry.GetType() == CVmuDirEntry::kGame,
          "a pair was read as neither a data file nor a game");

  const CVmsFile::Vmi again = CVmsFile::Describe(entry, blocks, "COPY");
  const std::uint8_t* given = data + 2;
  Require(
      std::memcmp(again.data() + kVmiName, given + kVmiName, CVmuDirEntry::kFileNameLength) == 0 &&
          card_format::GetLe32(again.data() + kVmiSize) == InBlocks(given) &&
          (card_format::GetLe16(again.data() + kVmiMode) & kVmiModeBits) ==
              (card_format::GetLe16(given + kVmiMode) & kVmiModeBits),
      "the VMI written for a file names another name, size or mode");
  Require(!IsDate(given) || std::memcmp(again.data() + kVmiDate, given + kVmiDate, 8) == 0,
          "the VMI written for a file has another date");
  if (!CScratchFile::WriteFile(copyVmi, again.data(), again.size()) ||
      !CScratchFile::WriteFile(copyVms, blocks.data(), blocks.size())) {
    return 0;
  }
  CVmuDirEntry back;
  Blocks backBlocks;
  const CardFileSource copy = CardFileSourceOf(copyVmi);
  Require(static_cast<bool>(CVmsFile::ReadPair(copy.path, copy.vms, stamp, back, backBlocks)),
          "the VMI written for a file cannot be read");
  Require(SameEntry(back, entry) && backBlocks == blocks,
          "the VMI written for a file reads back as another");
  return 0;
}
