#include "QtUserPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>

#include "Messages.h"

CQtUserPrompts::CQtUserPrompts(QWidget* parent) : parent_(parent) {}

void CQtUserPrompts::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Korvantis"), QString::fromStdString(text),
                  QMessageBox::Ok, parent_);
  box.exec();
}

void CQtUserPrompts::BeginBusy() {
  busy_.push_back(std::make_unique<CBusyCursor>());
}

void CQtUserPrompts::EndBusy() {
  if (!busy_.empty()) busy_.pop_back();
}

bool CQtUserPrompts::ChooseFileToOpen(const FileKind& kind, std::string& path) {
  return ChooseFile(kind, false, path);
}

bool CQtUserPrompts::ChooseFileToSave(const FileKind& kind, std::string& path) {
  return ChooseFile(kind, true, path);
}

bool CQtUserPrompts::ChooseFilesToOpen(const FileKind& kind, std::vector<std::string>& paths) {
  QFileDialog dialog(parent_);
  dialog.setNameFilter(QString::fromStdString(FilterInEitherCase(kind.filter)));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  paths.clear();
  for (const QString& file : dialog.selectedFiles())
    paths.push_back(QFile::encodeName(file).toStdString());
  return true;
}

bool CQtUserPrompts::ChooseFolder(std::string& path) {
  const QString folder = QFileDialog::getExistingDirectory(parent_);
  if (folder.isEmpty()) return false;
  path = QFile::encodeName(folder).toStdString();
  return true;
}

bool CQtUserPrompts::AskYesNo(const std::string& question, bool defaultYes) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Korvantis"),
                  QString::fromStdString(question), QMessageBox::Yes | QMessageBox::No, parent_);
  const QMessageBox::StandardButton offered = defaultYes ? QMessageBox::Yes : QMessageBox::No;
  box.setDefaultButton(offered);
  box.setEscapeButton(offered);
  return box.exec() == QMessageBox::Yes;
}

bool CQtUserPrompts::ChoosePage(const std::string& file, std::uint16_t pages, std::uint16_t& page) {
  QStringList items;
  for (std::uint16_t n = 1; n <= pages; ++n)
    items << QStringLiteral("Page %1").arg(n);
  bool chosen = false;
  const QString item = QInputDialog::getItem(
      parent_, QStringLiteral("Korvantis"),
      QString::fromStdString(Fill(message::kChooseRestorePage, {file})), items, 0, false, &chosen);
  if (!chosen) return false;
  page = static_cast<std::uint16_t>(items.indexOf(item) + 1);
  return page >= 1;
}

bool CQtUserPrompts::ChooseFile(const FileKind& kind, bool save, std::string& path) {
  QFileDialog dialog(parent_);
  dialog.setNameFilter(QString::fromStdString(FilterInEitherCase(kind.filter)));
  dialog.setDefaultSuffix(QString::fromLatin1(kind.defaultSuffix));
  // A name typed without an extension takes the first one of the filter chosen.
  QObject::connect(
      &dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const qsizetype star = filter.indexOf(QStringLiteral("*."));
        if (star < 0) return;
        const qsizetype end = filter.indexOf(QRegularExpression(QStringLiteral("[ )]")), star);
        dialog.setDefaultSuffix(filter.mid(star + 2, end - star - 2));
      });
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
