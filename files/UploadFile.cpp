#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "DciFile.h"
#include "FileCommands.h"
#include "Messages.h"
#include "Progress.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

namespace {
CommandResult Refuse(CUserPrompts& user, const std::string& text) {
  user.ShowMessage(text);
  return CommandResult::Failed;
}

CommandResult RefuseWithStatus(CUserPrompts& user, std::uint32_t code) {
  return Refuse(user, StatusMessage(code));
}

std::string NotEnoughSpace(std::uint16_t size, std::uint16_t available) {
  const std::string need = size == 1 ? "1 block" : std::to_string(size) + " blocks";
  const std::string have = available == 0 ? "there are no blocks free"
                           : available == 1
                               ? "there is only 1 block free"
                               : "there are only " + std::to_string(available) + " blocks free";
  return Fill(message::kNotEnoughSpace, {need, have});
}

// Only data files with at least one block, and all of their blocks, are taken.
CommandResult ReadDci(const std::string& path, CUserPrompts& user, CVmuDirEntry& entry,
                      std::vector<std::uint8_t>& blocks) {
  CDciFile file;
  if (!file.Open(path) || !file.ReadEntry(entry)) return Refuse(user, message::kCannotRead.text);
  if (entry.GetType() == CVmuDirEntry::kGame) return Refuse(user, message::kGameFile.text);
  if (entry.GetType() == CVmuDirEntry::kFree || entry.GetSize() == 0 ||
      !file.ReadBlocks(entry.GetSize(), blocks)) {
    return Refuse(user, message::kCannotRead.text);
  }
  return CommandResult::Done;
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
    return Refuse(user, message::kBadLayout.text);
  }
  const bool overlap = fatStart + 1 - fatCount <= dirStart && dirStart + 1 - dirCount <= fatStart;
  return overlap ? Refuse(user, message::kBadLayout.text) : CommandResult::Done;
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
  return Refuse(user, message::kDirectoryFull.text);
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
    const std::uint32_t offset = std::uint32_t{k} * CDciFile::kBlockSize;
    if (!region->Write(offset, blocks.data() + offset, CDciFile::kBlockSize, true)) {
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
  CBusyScope busy(user);
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

// Where the file goes: the run of free blocks from high down and the
// directory slot, read before the progress window opens.
CommandResult FindPlace(CVmuCard& card, std::uint16_t size, CUserPrompts& user, CVmuFat*& fat,
                        std::uint16_t& high, std::uint16_t& slot) {
  CBusyScope busy(user);
  CVmuRootBlock& root = *card.GetRootBlock();
  if (!root.GetFat(fat)) return RefuseWithStatus(user, root.GetLastError());
  CommandResult result = CheckLayout(root, user);
  if (result != CommandResult::Done) return result;

  // A table that cannot be read counts no free block, and the file is refused
  // for want of space.
  std::uint16_t freeCount = 0;
  fat->CountFree(freeCount);
  if (freeCount < size) return Refuse(user, NotEnoughSpace(size, freeCount));

  if ((result = FindRun(*fat, size, user, high)) != CommandResult::Done) return result;
  return FindFreeSlot(card, user, slot);
}
}  // namespace

CommandResult UploadFile(CVmuCard& card, CProgress& progress, CUserPrompts& user) {
  std::string path;
  if (!user.ChooseFileToOpen(kDciFileKind, path)) return CommandResult::Dismissed;
  return UploadFile(card, path, progress, user);
}

CommandResult UploadFile(CVmuCard& card, const std::string& path, CProgress& progress,
                         CUserPrompts& user) {
  CVmuDirEntry entry;
  std::vector<std::uint8_t> blocks;
  CommandResult result = ReadDci(path, user, entry, blocks);
  if (result != CommandResult::Done) return result;
  const std::uint16_t size = entry.GetSize();

  CVmuFat* fat = nullptr;
  std::uint16_t high = 0, slot = 0;
  if ((result = FindPlace(card, size, user, fat, high, slot)) != CommandResult::Done) return result;
  if ((result = WriteBlocks(card, high, blocks, size, progress, user)) != CommandResult::Done) {
    return result;
  }
  return Commit(card, *fat, entry, slot, high, user);
}
