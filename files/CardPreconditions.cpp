#include "CardPreconditions.h"

#include "Messages.h"
#include "VmuCard.h"

Result CheckFormatted(CVmuCard& card) {
  CVmuRootBlock& root = *card.GetRootBlock();
  bool formatted = false;
  if (!root.IsFormatted(formatted)) return card.Failure(root.GetLastError());
  if (!formatted) return Result::Failure(message::kNotFormatted.text);
  return Result();
}

Result CheckLayout(CVmuCard& card) {
  CVmuRootBlock& root = *card.GetRootBlock();
  std::uint16_t fatStart = 0, fatCount = 0, dirStart = 0, dirCount = 0;
  if (!root.GetFatStart(fatStart) || !root.GetFatBlockCount(fatCount) ||
      !root.GetDirectoryStart(dirStart) || !root.GetDirectoryBlockCount(dirCount)) {
    return card.Failure(root.GetLastError());
  }
  if (!card_format::PlausibleLayout(fatStart, fatCount, dirStart, dirCount))
    return Result::Failure(message::kBadLayout.text);
  return Result();
}
