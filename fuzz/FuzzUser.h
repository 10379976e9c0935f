#pragma once

#include <string>
#include <utility>

#include "UserPrompts.h"

// A user who reads no message, opens the one file it was given and dismisses
// every save choice: a download is read in full but never written to disk,
// which would only slow the fuzzer down.
class CFuzzUser : public CUserPrompts {
 public:
  explicit CFuzzUser(std::string fileToOpen) : fileToOpen_(std::move(fileToOpen)) {}

  void ShowMessage(const std::string&) override {}
  bool ChooseFileToOpen(const FileKind&, std::string& path) override {
    path = fileToOpen_;
    return true;
  }
  bool ChooseFileToSave(const FileKind&, std::string&) override { return false; }
  bool AskYesNo(const std::string&, bool) override { return true; }

 private:
  std::string fileToOpen_;
};
