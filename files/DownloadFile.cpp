#include <cstring>
#include <memory>
#include <vector>

#include "CardFormat.h"
#include "DciFile.h"
#include "FileCommands.h"
#include "PageChecks.h"
#include "Progress.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

namespace {
std::string Damaged(const std::string& fault) {
  return "This file cannot be downloaded: its blocks on the memory card are damaged (" + fault +
         ").";
}

// Reads the whole file along its allocation chain, in storage order, under
// the progress window. A damaged chain is refused before any block is read.
// The window is closed on return.
CommandResult ReadBlocks(CVmuCard& card, std::uint16_t index, std::uint16_t size,
                         CProgress& progress, CUserPrompts& user,
                         std::vector<std::uint8_t>& blocks) {
  using card_format::kBlockSize;
  std::unique_ptr<CVmuRegion> region;
  if (!card.OpenFile(index, region)) {
    const std::string& fault = card.GetChainFault();
    user.ShowMessage(fault.empty() ? StatusMessage(card.GetLastError()) : Damaged(fault));
    return CommandResult::Failed;
  }
  blocks.assign(std::size_t{size} * kBlockSize, 0);
  CProgressSession session(progress, "Downloading file from the memory card...", size);
  for (std::uint16_t k = 0; k < size; ++k) {
    const std::uint32_t offset = std::uint32_t{k} * kBlockSize;
    const std::uint8_t* bytes = nullptr;
    if (!region->Read(offset, bytes, kBlockSize, false)) {
      user.ShowMessage(StatusMessage(region->GetLastError()));
      return CommandResult::Failed;
    }
    std::memcpy(blocks.data() + offset, bytes, kBlockSize);
    if (session.UnitDone(k)) return CommandResult::Cancelled;
  }
  session.Close();
  card.CloseFile(region);
  return CommandResult::Done;
}
}  // namespace

CommandResult DownloadFile(CVmuCard& card, std::uint16_t index, CProgress& progress,
                           CUserPrompts& user) {
  const CommandResult formatted = CheckFormatted(card, user);
  if (formatted != CommandResult::Done) return formatted;
  CVmuDirEntry entry;
  if (!card.ReadDirEntry(index, entry)) {
    user.ShowMessage(StatusMessage(card.GetLastError()));
    return CommandResult::Failed;
  }

  // The whole file is read before the user is asked where to keep it.
  std::vector<std::uint8_t> blocks;
  const CommandResult read = ReadBlocks(card, index, entry.GetSize(), progress, user, blocks);
  if (read != CommandResult::Done) return read;

  std::string path;
  if (!user.ChooseFileToSave(kDciFileKind, path)) return CommandResult::Dismissed;
  const Result written = CDciFile::Write(path, entry, blocks);
  if (!written) {
    user.ShowMessage(written.Message());
    return CommandResult::Failed;
  }
  return CommandResult::Done;
}
