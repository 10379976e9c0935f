#include "CardIcon.h"
#include "FileCommands.h"
#include "IconImageFile.h"
#include "Messages.h"
#include "SafeFileName.h"
#include "UserPrompts.h"

namespace {
// The frames are read before the user is asked where to keep them, so a
// file without an icon is refused first.
CommandResult Export(CVmuCard& card, const ListedFile& file, std::string path, CUserPrompts& user) {
  if (!path.empty() && !IsIconImageName(path))
    return Fail(user, Result::Failure(message::kIconFileKind.text));
  CardIcon icon;
  if (Result read = ReadFileIcon(card, file, user, icon); !read) return Fail(user, read);
  if (path.empty()) {
    path = SuggestedFileName(file, kIconFileKind.defaultSuffix);
    if (!user.ChooseFileToSave(kIconFileKind, path)) return CommandResult::Dismissed;
  }
  const Result written = WriteIconImage(path, icon);
  return written ? CommandResult::Done : Fail(user, written);
}
}  // namespace

CommandResult ExportIcon(CVmuCard& card, const ListedFile& file, CUserPrompts& user) {
  return Export(card, file, std::string(), user);
}

CommandResult ExportIcon(CVmuCard& card, const ListedFile& file, const std::string& path,
                         CUserPrompts& user) {
  if (path.empty())
    return Fail(user,
                Result::Failure(Fill(message::kCannotWrite, {message::kNoFileNameGiven.text})));
  return Export(card, file, path, user);
}
