#include <algorithm>
#include <cstdint>
#include <vector>

#include "CardFormat.h"
#include "Messages.h"
#include "PageCheck.h"
#include "PageCommands.h"
#include "PageImage.h"
#include "Progress.h"
#include "RestoreFile.h"
#include "UserPrompts.h"
#include "VmuCard.h"

namespace {
using card_format::kPageSize;

CommandResult WritePage(CCardTransport& transport, const std::uint8_t* page,
                        CProgressSession& session, CUserPrompts& user) {
  const std::uint32_t step = transport.GetPageWriteStep();
  for (std::uint32_t offset = 0; offset < kPageSize; offset += step) {
    if (!transport.WritePageBytes(offset, page + offset, step))
      return Fail(user, transport.Failure(transport.GetLastStatus()));
    if (session.UnitDone(static_cast<std::int32_t>(offset))) return CommandResult::Cancelled;
  }
  return CommandResult::Done;
}

// The page of the chosen file to write, in wire order: its only page, or the
// one the user picks of four.
CommandResult ChosenPage(const std::string& path, CUserPrompts& user,
                         std::vector<std::uint8_t>& wire) {
  RestoreFile file;
  if (Result loaded = LoadRestoreFile(path, file); !loaded) return Fail(user, loaded);
  std::uint16_t page = 1;
  if (file.pages > 1 && (!user.ChoosePage(path, file.pages, page) || page < 1 || page > file.pages))
    return CommandResult::Dismissed;
  wire.assign(file.Page(page), file.Page(page) + kPageSize);
  return CommandResult::Done;
}

// Whether a card could use the page: the format marker, and a layout a card keeps.
bool IsFormattedPage(const std::vector<std::uint8_t>& wire) {
  CPageImage page;
  std::copy(wire.begin(), wire.end(), page.GetData());
  card_format::ReverseGroups(page.GetData(), kPageSize);
  for (const PageFinding& finding : CheckPage(page).findings)
    if (finding.fault == PageFault::NotFormatted || finding.fault == PageFault::ImplausibleRoot)
      return false;
  return true;
}
}  // namespace

CommandResult RestorePage(CVmuCard& card, CProgress& progress, CUserPrompts& user) {
  return RestorePage(card, SafetyCopies(), progress, user);
}

CommandResult RestorePage(CVmuCard& card, const SafetyCopies& copies, CProgress& progress,
                          CUserPrompts& user, Confirm confirm, Declined* declined) {
  std::string path;
  if (!user.ChooseFileToOpen(kRestoreFileKind, path)) return CommandResult::Dismissed;
  std::vector<std::uint8_t> page;
  CommandResult result = ChosenPage(path, user, page);
  if (result != CommandResult::Done) return result;
  if (confirm == Confirm::Ask && !IsFormattedPage(page) &&
      !user.AskYesNo(Fill(message::kAskRestoreUnformatted, {path}), false)) {
    NoteDeclined(declined, Declined::Confirm);
    return CommandResult::Dismissed;
  }

  {
    // Changes the card refused to store are dropped, and nothing is written
    // after a write that failed. The safety copy then reads the card itself,
    // not blocks cached before the card may have changed.
    CBusyScope busy(user);
    if (!card.Flush()) {
      card.DiscardChanges();
      return Fail(user, card.LastFailure());
    }
    card.Invalidate();
  }
  std::string copy;
  if (!copies.Off()) {
    CPageImage before;
    result = ReadWholePage(card, progress, user, before);
    if (result != CommandResult::Done) return result;
    if (Result saved = SaveSafetyCopy(before, copies, copy); !saved) return Fail(user, saved);
  }
  CProgressSession session(progress, message::kTitleRestore.text, kPageSize);
  result = WritePage(card.GetTransport(), page.data(), session, user);
  session.Close();
  // Even a part-written page no longer matches what the cache holds.
  card.Invalidate();
  if (result != CommandResult::Done) {
    // Cancelled, or a write failed: the page holds some of each, and the user
    // needs to know how to put it back.
    user.ShowMessage(copy.empty() ? std::string(message::kRestorePartlyWritten.text)
                                  : Fill(message::kRestoreInterrupted, {copy, copy}));
    return result;
  }
  user.ShowMessage(DoneMessage(Fill(message::kRestoreDone, {path}), copy));
  return result;
}
