#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Result.h"
#include "UserPrompts.h"

// The user as the commands see them, with one refusal added: a file chosen to
// be saved (a download, a backup) that check refuses, such as the card image
// the card lives in, is not handed to the command. The user is shown why and
// the choice counts as dismissed. The same check answers CheckOutput, for the
// files a command names itself. Everything else passes straight through.
class COutputGuard : public CUserPrompts {
 public:
  using Check = std::function<Result(const std::string& path)>;

  COutputGuard(std::unique_ptr<CUserPrompts> user, Check check)
      : user_(std::move(user)), check_(std::move(check)) {}

  void ShowMessage(const std::string& text) override { user_->ShowMessage(text); }
  bool ChooseFileToOpen(const FileKind& kind, std::string& path) override {
    return user_->ChooseFileToOpen(kind, path);
  }
  bool ChooseFileToSave(const FileKind& kind, std::string& path) override;
  bool ChooseFilesToOpen(const FileKind& kind, std::vector<std::string>& paths) override {
    return user_->ChooseFilesToOpen(kind, paths);
  }
  bool ChooseFolder(std::string& path) override { return user_->ChooseFolder(path); }
  bool ChooseFolderAndFormat(std::string& folder, CardFileFormat& format) override {
    return user_->ChooseFolderAndFormat(folder, format);
  }
  bool AskYesNo(const std::string& question, bool defaultYes) override {
    return user_->AskYesNo(question, defaultYes);
  }
  Result CheckOutput(const std::string& path) override { return check_(path); }
  bool ChoosePage(const std::string& file, std::uint16_t pages, std::uint16_t& page) override {
    return user_->ChoosePage(file, pages, page);
  }
  void BeginBusy() override { user_->BeginBusy(); }
  void EndBusy() override { user_->EndBusy(); }

 private:
  std::unique_ptr<CUserPrompts> user_;
  Check check_;
};
