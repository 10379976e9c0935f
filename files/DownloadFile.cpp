#include <cstring>
#include <memory>
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
// A file is the run of its size in blocks that descends from its first block;
// that run must stay within blocks 0 to 255.
bool RunIsOnCard(const CVmuDirEntry& entry) {
  return entry.GetFirstBlock() < CVmuCard::kBlockCount &&
         entry.GetSize() <= std::uint32_t{entry.GetFirstBlock()} + 1;
}

// Reads the whole file, in storage order, under the progress window. The
// window is closed on return.
CommandResult ReadBlocks(CVmuCard& card, std::uint16_t index, std::uint16_t size,
                         CProgress& progress, CUserPrompts& user,
                         std::vector<std::uint8_t>& blocks) {
  std::unique_ptr<CVmuRegion> region;
  if (!card.OpenFile(index, region)) {
    user.ShowMessage(StatusMessage(card.GetLastError()));
    return CommandResult::Failed;
  }
  blocks.assign(std::size_t{size} * CDciFile::kBlockSize, 0);
  CProgressSession session(progress, "Downloading file from the memory card...", size);
  for (std::uint16_t k = 0; k < size; ++k) {
    const std::uint32_t offset = std::uint32_t{k} * CDciFile::kBlockSize;
    const std::uint8_t* bytes = nullptr;
    if (!region->Read(offset, bytes, CDciFile::kBlockSize, false)) {
      user.ShowMessage(StatusMessage(region->GetLastError()));
      return CommandResult::Failed;
    }
    std::memcpy(blocks.data() + offset, bytes, CDciFile::kBlockSize);
    if (session.UnitDone(k)) return CommandResult::Cancelled;
  }
  session.Close();
  card.CloseFile(region);
  return CommandResult::Done;
}

// The file of entry index, read whole; the user is asked where to keep it
// only after that, unless path already says.
CommandResult Download(CVmuCard& card, std::uint16_t index, std::string path, CProgress& progress,
                       CUserPrompts& user) {
  CVmuDirEntry entry;
  bool entryRead = false;
  {
    CBusyScope busy(user);
    entryRead = card.ReadDirEntry(index, entry);
  }
  if (!entryRead) {
    user.ShowMessage(StatusMessage(card.GetLastError()));
    return CommandResult::Failed;
  }
  if (!RunIsOnCard(entry)) {
    user.ShowMessage(message::kRunOffPage.text);
    return CommandResult::Failed;
  }

  std::vector<std::uint8_t> blocks;
  const CommandResult read = ReadBlocks(card, index, entry.GetSize(), progress, user, blocks);
  if (read != CommandResult::Done) return read;

  if (path.empty() && !user.ChooseFileToSave(kDciFileKind, path)) return CommandResult::Dismissed;
  if (!CDciFile::Write(path, entry, blocks)) {
    user.ShowMessage(message::kCannotWrite.text);
    return CommandResult::Failed;
  }
  return CommandResult::Done;
}
}  // namespace

CommandResult DownloadFile(CVmuCard& card, std::uint16_t index, CProgress& progress,
                           CUserPrompts& user) {
  return Download(card, index, std::string(), progress, user);
}

CommandResult DownloadFile(CVmuCard& card, std::uint16_t index, const std::string& path,
                           CProgress& progress, CUserPrompts& user) {
  if (path.empty()) {
    user.ShowMessage(message::kCannotWrite.text);
    return CommandResult::Failed;
  }
  return Download(card, index, path, progress, user);
}
