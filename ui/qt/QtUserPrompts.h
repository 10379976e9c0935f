#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "BusyCursor.h"
#include "UserPrompts.h"

// The commands' messages and file choices as Qt's standard dialogs, modal
// over the given window. A dialog shows the ordinary cursor even while the
// command is busy, since it waits for the user (CBusyCursor).
class QSettings;

// With settings, each file dialog opens in the folder last used for its kind
// of file (group "Folders", keyed by the kind's default suffix: "dci",
// "dcm", "png", "bin"), and the download of several files offers the folder
// and format used last ("dci" and "DownloadFormat").
class CQtUserPrompts : public CUserPrompts {
 public:
  explicit CQtUserPrompts(QWidget* parent, QSettings* settings = nullptr);

  void ShowMessage(const std::string& text) override;
  bool ChooseFileToOpen(const FileKind& kind, std::string& path) override;
  bool ChooseFileToSave(const FileKind& kind, std::string& path) override;
  bool ChooseFilesToOpen(const FileKind& kind, std::vector<std::string>& paths) override;
  bool ChooseFolder(std::string& path) override;
  // CFolderFormatDlg, with the folder and format used last.
  bool ChooseFolderAndFormat(std::string& folder, CardFileFormat& format) override;
  bool AskYesNo(const std::string& question, bool defaultYes) override;
  // A list of "Page 1" to "Page N", the first offered.
  bool ChoosePage(const std::string& file, std::uint16_t pages, std::uint16_t& page) override;
  // The busy cursor, over every window of the program.
  void BeginBusy() override;
  void EndBusy() override;

 private:
  bool ChooseFile(const FileKind& kind, bool save, std::string& path);
  QString LastFolder(const FileKind& kind) const;
  void KeepFolder(const FileKind& kind, const QString& folder);

  QPointer<QWidget> parent_;
  QSettings* settings_;
  std::vector<std::unique_ptr<CBusyCursor>> busy_;  // one a BeginBusy not yet ended
};
