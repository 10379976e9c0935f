#include "CardIcon.h"
#include "FileCommands.h"
#include "IconImageFile.h"
#include "Messages.h"
#include "UserPrompts.h"

namespace {
// The frames are read before the user is asked where to keep them, so a
// file without an icon is refused first.
CommandResult Export(CVmuCard& card, const ListedFile& file, std::string path, CUserPrompts& user) {
  if (!path.empty() && !IsIconImageName(path)) {
    user.ShowMessage(message::kIconFileKind.text);
    return CommandResult::Failed;
  }
  CardIcon icon;
  const CommandResult read = ReadFileIcon(card, file, user, icon);
  if (read != CommandResult::Done) return read;
  if (path.empty() && !user.ChooseFileToSave(kIconFileKind, path)) return CommandResult::Dismissed;
  const Result written = WriteIconImage(path, icon);
  if (written) return CommandResult::Done;
  user.ShowMessage(written.Message());
  return CommandResult::Failed;
}
}  // namespace

CommandResult ExportIcon(CVmuCard& card, const ListedFile& file, CUserPrompts& user) {
  return Export(card, file, std::string(), user);
}

CommandResult ExportIcon(CVmuCard& card, const ListedFile& file, const std::string& path,
                         CUserPrompts& user) {
  if (path.empty()) {
    user.ShowMessage(Fill(message::kCannotWrite, {message::kNoFileNameGiven.text}));
    return CommandResult::Failed;
  }
  return Export(card, file, path, user);
}
