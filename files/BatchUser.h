#pragma once

#include <string>

#include "BatchProgress.h"
#include "UserPrompts.h"

// The user as the commands of a batch see him: the batch's window closes
// before anything is asked or shown, and opens again with the next file's
// transfer. Everything else passes straight through.
class CBatchUser : public CUserPrompts {
 public:
  CBatchUser(CUserPrompts& user, CBatchProgress& progress) : user_(user), progress_(progress) {}

  void ShowMessage(const std::string& text) override;
  bool ChooseFileToOpen(const FileKind& kind, std::string& path) override;
  bool ChooseFileToSave(const FileKind& kind, std::string& path) override;
  bool AskYesNo(const std::string& question, bool defaultYes) override;
  Result CheckOutput(const std::string& path) override { return user_.CheckOutput(path); }
  void BeginBusy() override { user_.BeginBusy(); }
  void EndBusy() override { user_.EndBusy(); }

 private:
  CUserPrompts& user_;
  CBatchProgress& progress_;
};
