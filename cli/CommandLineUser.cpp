#include "CommandLineUser.h"

#include <filesystem>
#include <string>

#include "Messages.h"

void CCommandLineUser::ShowMessage(const std::string& text) {
  if (holding_) {
    held_.push_back(text);
  } else {
    err_ << text << '\n';
  }
}

void CCommandLineUser::ReleaseMessages() {
  holding_ = false;
  for (const std::string& text : held_)
    err_ << text << '\n';
  held_.clear();
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

bool CCommandLineUser::AskYesNo(const std::string& question, bool defaultYes) {
  const bool yes = Answer(question, defaultYes);
  refused_ = refused_ || !yes;
  return yes;
}

bool CCommandLineUser::Answer(const std::string& question, bool defaultYes) {
  if (answer_) return *answer_;
  if (terminal_ == nullptr) return defaultYes;
  err_ << question << (defaultYes ? " [Y/n] " : " [y/N] ") << std::flush;
  std::string reply;
  if (!std::getline(*terminal_, reply) || reply.empty()) return defaultYes;
  return reply[0] == 'y' || reply[0] == 'Y';
}
