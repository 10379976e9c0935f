#include "CardIcon.h"
#include "FileCommands.h"
#include "Messages.h"
#include "PageChecks.h"
#include "Progress.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"
#include "VmuDirEntry.h"

namespace {
// A card that stopped answering or answers wrongly would cost one timeout per
// file if the listing went on.
bool IsLinkFailure(std::uint32_t code) {
  return code == status::kTimeout || code == status::kBadChecksum ||
         code == status::kUnexpectedAnswer || code == status::kNotStored;
}

CommandResult Fail(const CVmuCard& card, CUserPrompts& user, std::uint32_t code) {
  user.ShowMessage(card.MessageFor(code));
  return CommandResult::Failed;
}

// The free user blocks, from the allocation table that also links the game
// files' headers. A table the root block places off the page leaves the
// count unknown; only a link failure ends the listing.
CommandResult CountFreeBlocks(CVmuCard& card, CUserPrompts& user, FileListing& listing) {
  CVmuRootBlock& root = *card.GetRootBlock();
  CVmuFat* fat = nullptr;
  if (!root.GetFat(fat)) return Fail(card, user, root.GetLastError());
  std::uint16_t free = 0;
  if (fat->CountFree(free)) {
    listing.freeBlocks = free;
  } else if (IsLinkFailure(fat->GetLastError())) {
    return Fail(card, user, fat->GetLastError());
  }
  return CommandResult::Done;
}
}  // namespace

std::string FreeBlocksText(std::uint16_t blocks) {
  return Counted(blocks, message::kOneBlockFree, message::kBlocksFree);
}

CommandResult RefreshList(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                          FileListing& listing, const RowSink& onRow, bool readIcons) {
  // Everything listed is read anew. The cache holds no unwritten change (a
  // command that fails discards its own), and the listing writes nothing.
  card.Invalidate();
  listing = FileListing();

  std::uint16_t count = 0;
  {
    // The root block, the directory's size and the allocation table are read
    // before the progress window opens.
    CBusyScope busy(user);
    CommandResult result = CheckFormatted(card, user);
    if (result != CommandResult::Done) return result;
    if (!card.GetEntryCount(count)) return Fail(card, user, card.GetLastError());
    if ((result = CountFreeBlocks(card, user, listing)) != CommandResult::Done) return result;
  }

  CProgressSession session(progress, message::kTitleRefresh.text, count);
  for (std::uint16_t i = 0; i < count; ++i) {
    CVmuDirEntry entry;
    if (!card.ReadDirEntry(i, entry)) return Fail(card, user, card.GetLastError());
    if (entry.GetType() != CVmuDirEntry::kFree) {
      std::uint32_t header = status::kNoError;
      listing.rows.push_back(DescribeFile(card, i, entry, &header));
      if (readIcons && header == status::kNoError) {
        header = ReadFirstFrameRest(card, listing.rows.back());
      }
      if (onRow) onRow(listing.rows.back());
      if (IsLinkFailure(header)) return Fail(card, user, header);
    }
    if (session.UnitDone(i)) return CommandResult::Cancelled;
  }
  return CommandResult::Done;
}
