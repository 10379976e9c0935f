#include <cstdint>
#include <string>

#include "Messages.h"
#include "PageCommands.h"
#include "StatusCodes.h"
#include "UserPrompts.h"
#include "VmuCard.h"

namespace {
constexpr std::uint16_t kPageCount = 4;
}

CommandResult SetPage(CVmuCard& card, std::uint16_t page, CUserPrompts& user) {
  if (page < 1 || page > kPageCount) {
    user.ShowMessage(Fill(message::kNoSuchPage, {std::to_string(page)}));
    return CommandResult::Failed;
  }
  CBusyScope busy(user);
  // Changes the cache could not write back would be lost when it is emptied
  // for the new page; stay on this page and keep them for a later flush.
  if (!card.Flush()) {
    user.ShowMessage(StatusMessage(card.GetLastError()));
    return CommandResult::Failed;
  }
  CVmuLink& link = *card.GetLink();
  const bool selected = link.SelectPage(static_cast<std::uint16_t>(page - 1));
  if (!selected) user.ShowMessage(StatusMessage(link.GetLastStatus()));
  // After a failed select the card may show either page: nothing cached can be trusted.
  card.Invalidate();
  return selected ? CommandResult::Done : CommandResult::Failed;
}
