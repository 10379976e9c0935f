#include "CommandLineUser.h"

#include <string>

#include "FileWriter.h"
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
  if (!Named(path_)) return false;
  path = path_;
  return true;
}

bool CCommandLineUser::ChooseFileToSave(const FileKind&, std::string& path) {
  if (!MaySave(path_)) return false;
  path = path_;
  return true;
}

bool CCommandLineUser::Named(const std::string& path) {
  if (!path.empty()) return true;
  err_ << message::kEmptyFileName.text << '\n';
  return false;
}

// A symbolic link to nothing counts as there: writing would create its target.
bool CCommandLineUser::MaySave(const std::string& path) {
  if (!Named(path)) return false;
  if (const Result allowed = CheckOutput(path); !allowed) {
    err_ << allowed.Message() << '\n';
    return false;
  }
  if (force_ || !NameIsTaken(path)) return true;
  err_ << Fill(message::kWouldReplace, {path}) << '\n';
  return false;
}

bool CCommandLineUser::AskYesNo(const std::string& question, bool defaultYes) {
  if (terminal_ == nullptr) return defaultYes;
  err_ << question << (defaultYes ? " [Y/n] " : " [y/N] ") << std::flush;
  std::string reply;
  if (!std::getline(*terminal_, reply) || reply.empty()) return defaultYes;
  return reply[0] == 'y' || reply[0] == 'Y';
}

bool CCommandLineUser::ChoosePage(const std::string& file, std::uint16_t pages,
                                  std::uint16_t& page) {
  if (!page_ || *page_ > pages) {
    err_ << Fill(message::kAddFromPage, {file}) << '\n';
    return false;
  }
  page = *page_;
  return true;
}
