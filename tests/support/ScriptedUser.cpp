#include "ScriptedUser.h"

void CScriptedUser::ShowMessage(const std::string& text) {
  if (watched_) windowOpen.push_back(watched_->open);
  messages.push_back(text);
}

bool CScriptedUser::Answer(std::string& path) {
  if (answers_.empty()) return false;
  path = answers_.front();
  answers_.pop_front();
  return !path.empty();
}

bool CScriptedUser::ChooseFileToOpen(const FileKind& kind, std::string& path) {
  choicesAsked.push_back(std::string("open ") + kind.defaultSuffix);
  return Answer(path);
}

bool CScriptedUser::ChooseFileToSave(const FileKind& kind, std::string& path) {
  if (watched_) windowOpen.push_back(watched_->open);
  choicesAsked.push_back(std::string("save ") + kind.defaultSuffix);
  return Answer(path);
}

bool CScriptedUser::AskYesNo(const std::string& question, bool defaultYes) {
  if (watched_) windowOpen.push_back(watched_->open);
  questions.push_back(question);
  if (replies_.empty()) return defaultYes;
  const bool yes = replies_.front();
  replies_.pop_front();
  return yes;
}
