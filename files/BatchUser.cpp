#include "BatchUser.h"

void CBatchUser::ShowMessage(const std::string& text) {
  progress_.CloseWindow();
  user_.ShowMessage(text);
}

bool CBatchUser::ChooseFileToOpen(const FileKind& kind, std::string& path) {
  progress_.CloseWindow();
  return user_.ChooseFileToOpen(kind, path);
}

bool CBatchUser::ChooseFileToSave(const FileKind& kind, std::string& path) {
  progress_.CloseWindow();
  return user_.ChooseFileToSave(kind, path);
}

bool CBatchUser::AskYesNo(const std::string& question, bool defaultYes) {
  progress_.CloseWindow();
  return user_.AskYesNo(question, defaultYes);
}
