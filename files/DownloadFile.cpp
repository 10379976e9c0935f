#include <cstring>
#include <memory>
#include <vector>

#include "CardFormat.h"
#include "CardPreconditions.h"
#include "DciFile.h"
#include "FileCommands.h"
#include "Messages.h"
#include "Progress.h"
#include "SafeFileName.h"
#include "UserPrompts.h"
#include "VmsFile.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

namespace {
// The page is formatted, the entry read from the card and its allocation
// chain walked before the progress window opens. An entry of no blocks (no
// upload takes its DCI back) and a damaged chain are refused here, before any
// block of the file is read.
CommandResult OpenFile(CVmuCard& card, const ListedFile& file, CUserPrompts& user,
                       CVmuDirEntry& entry, std::unique_ptr<CVmuRegion>& region) {
  CBusyScope busy(user);
  card.Invalidate();
  Result ready = CheckFormatted(card);
  if (ready) ready = ReadListedEntry(card, file, entry);
  if (ready && entry.GetSize() == 0) ready = Result::Failure(message::kNoBlocks.text);
  if (!ready) return Fail(user, ready);
  if (!card.OpenFile(file.index, region)) {
    const CVmuChain& damaged = card.GetChainFault();
    return Fail(user, damaged.IsSound() ? card.LastFailure()
                                        : Result::Failure(Fill(message::kDownloadDamaged,
                                                               {ChainFaultText(damaged)})));
  }
  return CommandResult::Done;
}

// Reads the whole file along its allocation chain, in storage order, under
// the progress window. The window is closed on return.
CommandResult ReadBlocks(CVmuCard& card, std::unique_ptr<CVmuRegion>& region, std::uint16_t size,
                         CProgress& progress, CUserPrompts& user,
                         std::vector<std::uint8_t>& blocks) {
  using card_format::kBlockSize;
  blocks.assign(std::size_t{size} * kBlockSize, 0);
  CProgressSession session(progress, message::kTitleDownloadFile.text, size);
  for (std::uint16_t k = 0; k < size; ++k) {
    const std::uint32_t offset = std::uint32_t{k} * kBlockSize;
    const std::uint8_t* bytes = nullptr;
    if (!region->Read(offset, bytes, kBlockSize, false)) {
      return Fail(user, card.Failure(region->GetLastError()));
    }
    std::memcpy(blocks.data() + offset, bytes, kBlockSize);
    if (session.UnitDone(k)) return CommandResult::Cancelled;
  }
  session.Close();
  card.CloseFile(region);
  return CommandResult::Done;
}

// The file, read whole; the user is asked where to keep it only after that,
// unless path already says.
CommandResult Download(CVmuCard& card, const ListedFile& file, std::string path,
                       CProgress& progress, CUserPrompts& user) {
  CVmuDirEntry entry;
  std::unique_ptr<CVmuRegion> region;
  CommandResult result = OpenFile(card, file, user, entry, region);
  if (result != CommandResult::Done) return result;

  std::vector<std::uint8_t> blocks;
  result = ReadBlocks(card, region, entry.GetSize(), progress, user, blocks);
  if (result != CommandResult::Done) return result;

  if (path.empty()) {
    path = SuggestedFileName(file, kCardFileKind.defaultSuffix);
    if (!user.ChooseFileToSave(kCardFileKind, path)) return CommandResult::Dismissed;
  }
  const bool pair = CVmsFile::IsPairName(path);
  const Result written =
      pair ? CVmsFile::WritePair(path, entry, blocks) : CDciFile::Write(path, entry, blocks);
  if (!written) return Fail(user, written);
  if (pair && !CVmsFile::NamesItsVms(path))
    user.ShowMessage(Fill(message::kVmiNameCut, {path, CVmsFile::ResourceFor(path)}));
  return CommandResult::Done;
}
}  // namespace

CommandResult DownloadFile(CVmuCard& card, const ListedFile& file, CProgress& progress,
                           CUserPrompts& user) {
  return Download(card, file, std::string(), progress, user);
}

CommandResult DownloadFile(CVmuCard& card, const ListedFile& file, const std::string& path,
                           CProgress& progress, CUserPrompts& user) {
  if (path.empty())
    return Fail(user,
                Result::Failure(Fill(message::kCannotWrite, {message::kNoFileNameGiven.text})));
  return Download(card, file, path, progress, user);
}
