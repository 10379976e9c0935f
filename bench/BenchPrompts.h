#pragma once

#include <string>

#include "UserPrompts.h"

// A user who always picks the same file: the commands run as they would,
// with nothing to wait for.
class CFixedUser : public CUserPrompts {
 public:
  explicit CFixedUser(std::string path) : path_(std::move(path)) {}
  void ShowMessage(const std::string& text) override { lastMessage = text; }
  bool ChooseFileToOpen(const FileKind&, std::string& path) override {
    path = path_;
    return true;
  }
  bool ChooseFileToSave(const FileKind&, std::string& path) override {
    path = path_;
    return true;
  }
  bool AskYesNo(const std::string&, bool) override { return true; }
  std::string lastMessage;

 private:
  std::string path_;
};
