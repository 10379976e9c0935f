#pragma once

#include <ostream>
#include <string>

#include "UserPrompts.h"

// The command line's user: messages go to standard error, one line each, and
// the file "chosen" is the one the command line names. An existing file is
// kept unless the command line says --force.
class CCommandLineUser : public CUserPrompts {
 public:
  explicit CCommandLineUser(std::ostream& err) : err_(err) {}

  void SetFile(const std::string& path, bool force) {
    path_ = path;
    force_ = force;
  }

  void ShowMessage(const std::string& text) override;
  bool ChooseFileToOpen(const FileKind& kind, std::string& path) override;
  bool ChooseFileToSave(const FileKind& kind, std::string& path) override;

  // Whether the file may be written, saying why not; used before a command
  // starts, so that a long transfer is not made in vain.
  bool MaySave(const std::string& path);

 private:
  std::ostream& err_;
  std::string path_;
  bool force_ = false;
};
