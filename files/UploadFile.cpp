#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "CardFormat.h"
#include "DciFile.h"
#include "FileCommands.h"
#include "FileMessages.h"
#include "Progress.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

namespace {
constexpr char kGameFile[] =
    "This version of Korvantis can not upload GAME files.  Check the website for a newer "
    "version.";
constexpr char kBadLayout[] =
    "The memory card's root block places its allocation table or directory where no card "
    "keeps them, so nothing was written to the card.";
constexpr char kDirectoryFull[] =
    "There is no free directory entry on this memory card, so the file was not uploaded.";

CommandResult Refuse(CUserPrompts& user, const std::string& text) {
  user.ShowMessage(text);
  return CommandResult::Failed;
}

CommandResult RefuseWithStatus(CUserPrompts& user, std::uint32_t code) {
  return Refuse(user, StatusMessage(code));
}

std::string NotEnoughSpace(std::uint16_t size, std::uint16_t available) {
  char need[64], have[96], text[224];
  if (size == 1) {
    std::snprintf(need, sizeof need, "This file requires 1 block");
  } else {
    std::snprintf(need, sizeof need, "This file requires %d blocks", int{size});
  }
  if (available == 0) {
    std::snprintf(have, sizeof have, "but there are no blocks free on this memory card.");
  } else if (available == 1) {
    std::snprintf(have, sizeof have, "but there is only 1 block free on this memory card.");
  } else {
    std::snprintf(have, sizeof have, "but there are only %d blocks free on this memory card.",
                  int{available});
  }
  std::snprintf(text, sizeof text, "There is not enough free space on this memory card.  %s, %s",
                need, have);
  return text;
}

// Only data files with at least one block, and all of their blocks, are taken.
CommandResult ReadDci(CUserPrompts& user, CVmuDirEntry& entry, std::vector<std::uint8_t>& blocks) {
  std::string path;
  if (!user.ChooseFileToOpen(kDciFileKind, path)) return CommandResult::Dismissed;
  CDciFile file;
  Result read = file.Open(path);
  if (read) read = file.ReadEntry(entry);
  if (!read) return Refuse(user, read.Message());
  if (entry.GetType() == CVmuDirEntry::kGame) return Refuse(user, kGameFile);
  if (entry.GetType() == CVmuDirEntry::kFree || entry.GetSize() == 0) {
    return Refuse(user, kCannotReadFile);
  }
  read = file.ReadBlocks(entry.GetSize(), blocks);
  return read ? CommandResult::Done : Refuse(user, read.Message());
}

// Between the user blocks and the root block.
bool InSystemArea(std::uint16_t start, std::uint16_t count) {
  return count >= 1 && start < CVmuRootBlock::kBlock &&
         std::uint32_t{start} + 1 >= std::uint32_t{CVmuFat::kUserBlocks} + count;
}

// Writing through a layout that puts the allocation table or the directory
// over user blocks, the root block or each other would destroy files.
CommandResult CheckLayout(CVmuRootBlock& root, CUserPrompts& user) {
  std::uint16_t fatStart = 0, fatCount = 0, dirStart = 0, dirCount = 0;
  if (!root.GetFatStart(fatStart) || !root.GetFatBlockCount(fatCount) ||
      !root.GetDirectoryStart(dirStart) || !root.GetDirectoryBlockCount(dirCount)) {
    return RefuseWithStatus(user, root.GetLastError());
  }
  if (!InSystemArea(fatStart, fatCount) || !InSystemArea(dirStart, dirCount)) {
    return Refuse(user, kBadLayout);
  }
  const bool overlap = fatStart + 1 - fatCount <= dirStart && dirStart + 1 - dirCount <= fatStart;
  return overlap ? Refuse(user, kBadLayout) : CommandResult::Done;
}

// The file goes to the run that descends from the highest free block; every
// block of that run must be free. A refusal counts the free blocks of that run.
CommandResult FindRun(CVmuFat& fat, std::uint16_t size, CUserPrompts& user, std::uint16_t& high) {
  if (!fat.FindLastFree(high)) return RefuseWithStatus(user, fat.GetLastError());
  std::uint16_t run = 0;
  while (run < size && run <= high) {
    std::uint16_t value = 0;
    if (!fat.GetEntry(static_cast<std::uint16_t>(high - run), value)) {
      return RefuseWithStatus(user, fat.GetLastError());
    }
    if (value != CVmuFat::kFree) break;
    ++run;
  }
  return run < size ? Refuse(user, NotEnoughSpace(size, run)) : CommandResult::Done;
}

// The lowest free entry among those the directory's blocks hold.
CommandResult FindFreeSlot(CVmuCard& card, CUserPrompts& user, std::uint16_t& slot) {
  std::uint16_t count = 0;
  if (!card.GetEntryCount(count)) return RefuseWithStatus(user, card.GetLastError());
  for (std::uint16_t i = 0; i < count; ++i) {
    CVmuDirEntry entry;
    if (!card.ReadDirEntry(i, entry)) return RefuseWithStatus(user, card.GetLastError());
    if (entry.GetType() == CVmuDirEntry::kFree) {
      slot = i;
      return CommandResult::Done;
    }
  }
  return Refuse(user, kDirectoryFull);
}

// Each block reaches the card before the next is prepared. Until the entry
// and the chain follow, the blocks written stay free, so a stop here loses
// nothing that was on the card.
CommandResult WriteBlocks(CVmuCard& card, std::uint16_t high,
                          const std::vector<std::uint8_t>& blocks, std::uint16_t size,
                          CProgress& progress, CUserPrompts& user) {
  std::unique_ptr<CVmuRegion> region;
  if (!card.MakeRegion(high, size, region)) return RefuseWithStatus(user, card.GetLastError());
  CProgressSession session(progress, "Uploading file to the memory card...", size);
  for (std::uint16_t k = 0; k < size; ++k) {
    const std::uint32_t offset = std::uint32_t{k} * card_format::kBlockSize;
    if (!region->Write(offset, blocks.data() + offset, card_format::kBlockSize, true)) {
      return RefuseWithStatus(user, region->GetLastError());
    }
    if (session.UnitDone(k)) return CommandResult::Cancelled;
  }
  session.Close();
  card.CloseFile(region);
  return CommandResult::Done;
}

// The entry reaches the card before the chain marks its blocks used.
CommandResult Commit(CVmuCard& card, CVmuFat& fat, CVmuDirEntry& entry, std::uint16_t slot,
                     std::uint16_t high, CUserPrompts& user) {
  entry.SetFirstBlock(high);
  if (!card.WriteDirEntry(slot, entry) || !card.Flush()) {
    return RefuseWithStatus(user, card.GetLastError());
  }
  const std::uint16_t last = static_cast<std::uint16_t>(high + 1 - entry.GetSize());
  for (std::uint16_t block = high; block > last; --block) {
    if (!fat.SetEntry(block, static_cast<std::uint16_t>(block - 1))) {
      return RefuseWithStatus(user, fat.GetLastError());
    }
  }
  if (!fat.SetEntry(last, CVmuFat::kLastBlock)) return RefuseWithStatus(user, fat.GetLastError());
  if (!card.Flush()) return RefuseWithStatus(user, card.GetLastError());
  return CommandResult::Done;
}
}  // namespace

CommandResult UploadFile(CVmuCard& card, CProgress& progress, CUserPrompts& user) {
  CVmuDirEntry entry;
  std::vector<std::uint8_t> blocks;
  CommandResult result = ReadDci(user, entry, blocks);
  if (result != CommandResult::Done) return result;
  const std::uint16_t size = entry.GetSize();

  CVmuRootBlock& root = *card.GetRootBlock();
  CVmuFat* fat = nullptr;
  if (!root.GetFat(fat)) return RefuseWithStatus(user, root.GetLastError());
  if ((result = CheckLayout(root, user)) != CommandResult::Done) return result;

  // A table that cannot be read counts no free block, and the file is refused
  // for want of space.
  std::uint16_t freeCount = 0;
  fat->CountFree(freeCount);
  if (freeCount < size) return Refuse(user, NotEnoughSpace(size, freeCount));

  std::uint16_t high = 0, slot = 0;
  if ((result = FindRun(*fat, size, user, high)) != CommandResult::Done) return result;
  if ((result = FindFreeSlot(card, user, slot)) != CommandResult::Done) return result;
  if ((result = WriteBlocks(card, high, blocks, size, progress, user)) != CommandResult::Done) {
    return result;
  }
  return Commit(card, *fat, entry, slot, high, user);
}
