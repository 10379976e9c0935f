#include "CareCommands.h"
#include "Messages.h"
#include "PageImage.h"
#include "Progress.h"
#include "UserPrompts.h"
#include "VmuCard.h"

using card_format::kBlockSize;

namespace {
// The directory first, then the table, then the root block: a stop part-way
// leaves entries cleared before their blocks are freed.
CommandResult WriteLayout(CVmuCard& card, const CPageImage& fresh, CProgress& progress,
                          CUserPrompts& user) {
  constexpr std::uint16_t kFirst = CPageImage::kDirectoryStart - CPageImage::kDirectoryBlocks + 1;
  CProgressSession session(progress, message::kTitleFormat.text,
                           card_format::kRootBlock - kFirst + 1);
  for (std::uint16_t block = kFirst; block <= card_format::kRootBlock; ++block) {
    CVmuMemory& cache = *card.GetCache();
    const std::uint8_t* bytes = fresh.GetData() + block * kBlockSize;
    if (!cache.Write(block * kBlockSize, bytes, kBlockSize, false) || !cache.Flush())
      return Fail(user, card.Failure(cache.GetLastError()));
    if (session.UnitDone(block - kFirst)) return CommandResult::Cancelled;
  }
  return CommandResult::Done;
}
}  // namespace

CommandResult FormatPage(CVmuCard& card, const SafetyCopies& copies, CProgress& progress,
                         CUserPrompts& user, Confirm confirm, Declined* declined) {
  if (confirm == Confirm::Ask && !user.AskYesNo(message::kAskFormat.text, false)) {
    NoteDeclined(declined, Declined::Confirm);
    return CommandResult::Dismissed;
  }
  CDiscardUnlessFinished changes(card);
  std::string copy;
  // Copies wanted with no folder to keep them refuse the format before it
  // writes anything, as every other command that takes one.
  if (!copies.Off()) {
    CPageImage page;
    const CommandResult read = ReadWholePage(card, progress, user, page);
    if (read != CommandResult::Done) return read;
    if (Result saved = SaveSafetyCopy(page, copies, copy); !saved) return Fail(user, saved);
  }
  const CommandResult result = WriteLayout(card, CPageImage::FormattedNow(), progress, user);
  // The root block's layout was read before; the page is laid out anew.
  card.Invalidate();
  if (result != CommandResult::Done) return result;
  changes.Finished();
  user.ShowMessage(DoneMessage(message::kFormatDone.text, copy));
  return CommandResult::Done;
}
