#pragma once

#include <string>

#include "Progress.h"
#include "UserPrompts.h"

// A progress window nobody watches and a user who always picks the same file:
// the commands run as they would, with nothing to wait for.
class CSilentProgress : public CProgress {
 public:
  bool Create() override { return true; }
  void SetMessageText(const std::string&) override {}
  void SetRange(std::int32_t, std::int32_t) override {}
  std::int32_t SetPos(std::int32_t position) override { return position; }
  bool PollCancel() override { return false; }
  bool DestroyWindow() override { return true; }
};

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
  std::string lastMessage;

 private:
  std::string path_;
};
