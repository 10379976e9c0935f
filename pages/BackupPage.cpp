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
  CCardTransport& transport = card.GetTransport();
  std::vector<std::uint8_t> page(kPageSize);
  {
    // The cancel check and the window's upkeep come once per step. The file
    // keeps the bytes in the order they cross the wire.
    CProgressSession session(progress, message::kTitleBackup.text, kPageSize);
    const std::uint32_t step = transport.GetPageReadStep();
    for (std::uint32_t offset = 0; offset < kPageSize; offset += step) {
      if (!transport.ReadPageBytes(offset, page.data() + offset, step))
        return Fail(user, transport.Failure(transport.GetLastStatus()));
      if (session.UnitDone(static_cast<std::int32_t>(offset))) return CommandResult::Cancelled;
    }
  }

  // Only now, with the whole page in hand, is the user asked where it goes.
  std::string path = BackupFileName(pageNumber, std::time(nullptr));
  if (!user.ChooseFileToSave(kDcmFileKind, path)) return CommandResult::Dismissed;
  const Result saved = SaveDcmFile(path, page.data());
  return saved ? CommandResult::Done : Fail(user, saved);
}
