#include <cstdint>
#include <string>

#include "CardFormat.h"
#include "Messages.h"
#include "PageCommands.h"
#include "UserPrompts.h"
#include "VmuCard.h"

CommandResult SetPage(CVmuCard& card, std::uint16_t page, CUserPrompts& user) {
  if (page < 1 || page > card_format::kPageCount)
    return Fail(user, Result::Failure(Fill(message::kNoSuchPage, {std::to_string(page)})));
  CBusyScope busy(user);
  // Changes the cache could not write back are dropped, not kept for a later
  // command to write, perhaps onto another page or another card; this page
  // stays selected.
  if (!card.Flush()) {
    card.DiscardChanges();
    return Fail(user, card.LastFailure());
  }
  CCardTransport& transport = card.GetTransport();
  const bool selected = transport.SelectPage(static_cast<std::uint16_t>(page - 1));
  // After a failed select the card may show either page: nothing cached can be trusted.
  card.Invalidate();
  return selected ? CommandResult::Done : Fail(user, transport.Failure(transport.GetLastStatus()));
}
