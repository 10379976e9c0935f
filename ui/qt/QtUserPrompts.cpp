#include "QtUserPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {
// The ordinary cursor for the life of a dialog that waits for the user, over
// a busy cursor the command set.
class CWaitingForUser {
 public:
  CWaitingForUser() : busy_(QApplication::overrideCursor() != nullptr) {
    if (busy_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~CWaitingForUser() {
    if (busy_) QApplication::restoreOverrideCursor();
  }
  CWaitingForUser(const CWaitingForUser&) = delete;
  CWaitingForUser& operator=(const CWaitingForUser&) = delete;

 private:
  bool busy_;
};
}  // namespace

CQtUserPrompts::CQtUserPrompts(QWidget* parent) : parent_(parent) {}

void CQtUserPrompts::ShowMessage(const std::string& text) {
  const CWaitingForUser waiting;
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Korvantis"), QString::fromStdString(text),
                  QMessageBox::Ok, parent_);
  box.exec();
}

void CQtUserPrompts::BeginBusy() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CQtUserPrompts::EndBusy() {
  QApplication::restoreOverrideCursor();
}

bool CQtUserPrompts::ChooseFileToOpen(const FileKind& kind, std::string& path) {
  return ChooseFile(kind, false, path);
}

bool CQtUserPrompts::ChooseFileToSave(const FileKind& kind, std::string& path) {
  return ChooseFile(kind, true, path);
}

bool CQtUserPrompts::AskYesNo(const std::string& question, bool defaultYes) {
  const CWaitingForUser waiting;
  QMessageBox box(QMessageBox::Question, QStringLiteral("Korvantis"),
                  QString::fromStdString(question), QMessageBox::Yes | QMessageBox::No, parent_);
  const QMessageBox::StandardButton offered = defaultYes ? QMessageBox::Yes : QMessageBox::No;
  box.setDefaultButton(offered);
  box.setEscapeButton(offered);
  return box.exec() == QMessageBox::Yes;
}

bool CQtUserPrompts::ChooseFile(const FileKind& kind, bool save, std::string& path) {
  const CWaitingForUser waiting;
  QFileDialog dialog(parent_);
  dialog.setNameFilter(QString::fromLatin1(kind.filter));
  dialog.setDefaultSuffix(QString::fromLatin1(kind.defaultSuffix));
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  // A name the command proposes (none today) starts the choice.
  if (!path.empty()) dialog.selectFile(QString::fromStdString(path));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  // The name as the file system spells it, for std::fopen and friends.
  path = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
  return true;
}
