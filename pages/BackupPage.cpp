#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "CardFormat.h"
#include "DcmFile.h"
#include "Messages.h"
#include "PageCommands.h"
#include "Progress.h"
#include "UserPrompts.h"
#include "VmuCard.h"

namespace {
using card_format::kPageSize;
// 32 handshakes per page; the cancel check and the window's upkeep come once per unit.
constexpr std::uint32_t kReadUnit = 4096;
}  // namespace

std::string BackupFileName(std::uint16_t page, std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char day[16];
  std::strftime(day, sizeof day, "%Y-%m-%d", &local);
  return "page" + (page != 0 ? std::to_string(page) : std::string()) + "-" + day + ".dcm";
}

CommandResult BackupPage(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                         std::uint16_t pageNumber) {
  CVmuLink& link = *card.GetLink();
  std::vector<std::uint8_t> page(kPageSize);
  {
    CProgressSession session(progress, message::kTitleBackup.text, kPageSize);
    for (std::uint32_t offset = 0; offset < kPageSize; offset += kReadUnit) {
      // Swap clear: the file keeps the bytes in the order they crossed the wire.
      if (!link.Read(offset, page.data() + offset, kReadUnit, false))
        return Fail(user, link.Failure(link.GetLastStatus()));
      if (session.UnitDone(static_cast<std::int32_t>(offset))) return CommandResult::Cancelled;
    }
  }

  // Only now, with the whole page in hand, is the user asked where it goes.
  std::string path = BackupFileName(pageNumber, std::time(nullptr));
  if (!user.ChooseFileToSave(kDcmFileKind, path)) return CommandResult::Dismissed;
  const Result saved = SaveDcmFile(path, page.data());
  return saved ? CommandResult::Done : Fail(user, saved);
}
