#include "CardIcon.h"
#include "CardPreconditions.h"
#include "FileCommands.h"
#include "Messages.h"
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

// The free user blocks, from the allocation table that also links the game
// files' headers. A table the root block places off the page leaves the
// count unknown; only a link failure ends the listing.
CommandResult CountFreeBlocks(CVmuCard& card, CUserPrompts& user, FileListing& listing) {
  CVmuRootBlock& root = *card.GetRootBlock();
  CVmuFat* fat = nullptr;
  if (!root.GetFat(fat)) return Fail(user, card.Failure(root.GetLastError()));
  std::uint16_t free = 0;
  if (fat->CountFree(free)) {
    listing.freeBlocks = free;
  } else if (IsLinkFailure(fat->GetLastError())) {
    return Fail(user, card.Failure(fat->GetLastError()));
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
    if (Result formatted = CheckFormatted(card); !formatted) return Fail(user, formatted);
    if (!card.GetEntryCount(count)) return Fail(user, card.LastFailure());
    const CommandResult result = CountFreeBlocks(card, user, listing);
    if (result != CommandResult::Done) return result;
  }

  CProgressSession session(progress, message::kTitleRefresh.text, count);
  for (std::uint16_t i = 0; i < count; ++i) {
    CVmuDirEntry entry;
    if (!card.ReadDirEntry(i, entry)) return Fail(user, card.LastFailure());
    if (entry.GetType() != CVmuDirEntry::kFree) {
      Result header;
      listing.rows.push_back(DescribeFile(card, i, entry, &header));
      if (readIcons && header) header = ReadFirstFrameRest(card, listing.rows.back());
      if (onRow) onRow(listing.rows.back());
      if (IsLinkFailure(header.Code())) return Fail(user, header);
    }
    if (session.UnitDone(i)) return CommandResult::Cancelled;
  }
  return CommandResult::Done;
}
