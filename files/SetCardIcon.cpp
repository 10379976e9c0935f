#include "CardFormat.h"
#include "FileCommands.h"
#include "IconDataFile.h"
#include "Messages.h"
#include "UserPrompts.h"
#include "VmuDirEntry.h"
#include "VmuTimestamp.h"

namespace {
using card_format::kShortDescriptionLength;

// The card's screen shows plain ASCII letters only.
bool IsShown(char c) {
  return c >= 0x20 && c < 0x7F;
}
}  // namespace

bool IsIconDescription(const std::string& description) {
  for (const char c : description)
    if (!IsShown(c)) return false;
  return description.size() <= kShortDescriptionLength;
}

std::string DefaultIconDescription(const std::string& picturePath) {
  std::string stem = picturePath.substr(picturePath.find_last_of('/') + 1);
  const std::size_t dot = stem.find_last_of('.');
  if (dot != std::string::npos && dot > 0) stem.resize(dot);
  std::string description;
  for (const char c : stem) {
    if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;  // within a UTF-8 character
    description += IsShown(c) ? c : '_';
    if (description.size() == kShortDescriptionLength) break;
  }
  return description;
}

// The console dates what it writes; so is the icon file.
CommandResult SetCardIcon(CVmuCard& card, const RgbaPicture& picture, const CardIconChoice& choice,
                          CProgress& progress, CUserPrompts& user, Replace replace,
                          Declined* declined) {
  if (!IsIconDescription(choice.description))
    return Fail(user, Result::Failure(Fill(message::kIconDescription, {choice.description})));
  const RgbaPicture icon = ScaleToIcon(picture);
  const CardIcon colour = choice.monoOnly ? CardIcon() : MakeColourIcon(icon);
  const std::vector<std::uint8_t> blocks =
      MakeIconData(choice.description, MakeMonoIcon(icon, choice.threshold),
                   choice.monoOnly ? nullptr : &colour);

  CVmuDirEntry entry;
  entry.SetType(CVmuDirEntry::kData);
  entry.SetFileName(card_format::kIconFileName);
  entry.SetTimestamp(CVmuTimestamp::Now());
  entry.SetSize(static_cast<std::uint16_t>(blocks.size() / card_format::kBlockSize));
  UploadDecisions decisions;
  decisions.replace = replace;
  return UploadFile(card, entry, blocks, progress, user, decisions, declined);
}
