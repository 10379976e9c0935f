#include "CommandLineUser.h"

#include <string>

#include "FileWriter.h"

void CCommandLineUser::ShowMessage(const std::string& text) {
  err_ << text << '\n';
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
  err_ << "The file name is empty; it names no file.\n";
  return false;
}

// A symbolic link to nothing counts as there: writing would create its target.
bool CCommandLineUser::MaySave(const std::string& path) {
  if (!Named(path)) return false;
  if (force_ || !NameIsTaken(path)) return true;
  err_ << path << " already exists; add --force to replace it.\n";
  return false;
}

bool CCommandLineUser::AskYesNo(const std::string& question, bool defaultYes) {
  if (answer_) return *answer_;
  if (terminal_ == nullptr) return defaultYes;
  err_ << question << (defaultYes ? " [Y/n] " : " [y/N] ") << std::flush;
  std::string reply;
  if (!std::getline(*terminal_, reply) || reply.empty()) return defaultYes;
  return reply[0] == 'y' || reply[0] == 'Y';
}
