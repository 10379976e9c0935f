#include <cstdint>
#include <vector>

#include "CardFormat.h"
#include "DcmFile.h"
#include "Messages.h"
#include "PageCommands.h"
#include "PageImage.h"
#include "Progress.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"

namespace {
using card_format::kPageSize;
constexpr std::uint32_t kWriteUnit = CVmuLink::kWriteUnit;  // the card's own write unit

CommandResult WritePage(CVmuLink& link, const std::uint8_t* page, CProgressSession& session,
                        CUserPrompts& user) {
  for (std::uint32_t offset = 0; offset < kPageSize; offset += kWriteUnit) {
    if (!link.Write(offset, page + offset, kWriteUnit, false)) {
      user.ShowMessage(link.MessageFor(link.GetLastStatus()));
      return CommandResult::Failed;
    }
    if (session.UnitDone(static_cast<std::int32_t>(offset))) return CommandResult::Cancelled;
  }
  return CommandResult::Done;
}
}  // namespace

CommandResult RestorePage(CVmuCard& card, CProgress& progress, CUserPrompts& user) {
  return RestorePage(card, SafetyCopies(), progress, user);
}

CommandResult RestorePage(CVmuCard& card, const SafetyCopies& copies, CProgress& progress,
                          CUserPrompts& user) {
  std::string path;
  if (!user.ChooseFileToOpen(kDcmFileKind, path)) return CommandResult::Dismissed;
  std::vector<std::uint8_t> page(kPageSize);
  const Result loaded = LoadDcmFile(path, page.data());
  if (!loaded) {
    user.ShowMessage(loaded.Message());
    return CommandResult::Failed;
  }

  {
    // Changes the card refused to store are dropped, and nothing is written
    // after a write that failed.
    CBusyScope busy(user);
    if (!card.Flush()) {
      user.ShowMessage(card.MessageFor(card.GetLastError()));
      card.DiscardChanges();
      return CommandResult::Failed;
    }
  }
  std::string copy;
  if (!copies.folder.empty()) {
    CPageImage before;
    CommandResult saved = ReadWholePage(card, progress, user, before);
    if (saved == CommandResult::Done) saved = SaveSafetyCopy(before, copies, user, copy);
    if (saved != CommandResult::Done) return saved;
  }
  CProgressSession session(progress, "Uploading data to the memory card...", kPageSize);
  const CommandResult result = WritePage(*card.GetLink(), page.data(), session, user);
  session.Close();
  // Even a part-written page no longer matches what the cache holds.
  card.Invalidate();
  if (result == CommandResult::Done && !copy.empty())
    user.ShowMessage(Fill(message::kSafetyCopySaved, {copy}));
  return result;
}
