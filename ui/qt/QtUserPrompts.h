#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "BusyCursor.h"
#include "UserPrompts.h"

// The commands' messages and file choices as Qt's standard dialogs, modal
// over the given window. A dialog shows the ordinary cursor even while the
// command is busy, since it waits for the user (CBusyCursor).
class CQtUserPrompts : public CUserPrompts {
 public:
  explicit CQtUserPrompts(QWidget* parent);

  void ShowMessage(const std::string& text) override;
  bool ChooseFileToOpen(const FileKind& kind, std::string& path) override;
  bool ChooseFileToSave(const FileKind& kind, std::string& path) override;
  bool ChooseFilesToOpen(const FileKind& kind, std::vector<std::string>& paths) override;
  bool ChooseFolder(std::string& path) override;
  bool AskYesNo(const std::string& question, bool defaultYes) override;
  // A list of "Page 1" to "Page N", the first offered.
  bool ChoosePage(const std::string& file, std::uint16_t pages, std::uint16_t& page) override;
  // The busy cursor, over every window of the program.
  void BeginBusy() override;
  void EndBusy() override;

 private:
  bool ChooseFile(const FileKind& kind, bool save, std::string& path);

  QPointer<QWidget> parent_;
  std::vector<std::unique_ptr<CBusyCursor>> busy_;  // one a BeginBusy not yet ended
};
