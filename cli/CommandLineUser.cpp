#include "CommandLineUser.h"

#include <filesystem>

#include "Messages.h"

void CCommandLineUser::ShowMessage(const std::string& text) {
  err_ << text << '\n';
}

bool CCommandLineUser::ChooseFileToOpen(const FileKind&, std::string& path) {
  if (path_.empty()) return false;
  path = path_;
  return true;
}

bool CCommandLineUser::ChooseFileToSave(const FileKind&, std::string& path) {
  if (path_.empty() || !MaySave(path_)) return false;
  path = path_;
  return true;
}

bool CCommandLineUser::MaySave(const std::string& path) {
  std::error_code error;
  if (force_ || !std::filesystem::exists(path, error)) return true;
  err_ << Fill(message::kWouldReplace, {path}) << '\n';
  return false;
}
