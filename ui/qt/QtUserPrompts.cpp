#include "QtUserPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>

#include "FolderFormatDlg.h"
#include "Messages.h"

namespace {
const QString kFormatKey = QStringLiteral("Folders/DownloadFormat");

std::string ToPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString FromPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}
}  // namespace

CQtUserPrompts::CQtUserPrompts(QWidget* parent, QSettings* settings)
    : parent_(parent), settings_(settings) {}

QString CQtUserPrompts::LastFolder(const FileKind& kind) const {
  if (settings_ == nullptr) return QString();
  const QString folder =
      settings_->value(QStringLiteral("Folders/") + QLatin1String(kind.defaultSuffix)).toString();
  return QFileInfo(folder).isDir() ? folder : QString();
}

void CQtUserPrompts::KeepFolder(const FileKind& kind, const QString& folder) {
  if (settings_ == nullptr) return;
  settings_->setValue(QStringLiteral("Folders/") + QLatin1String(kind.defaultSuffix), folder);
  settings_->sync();
}

void CQtUserPrompts::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Korvantis"), QString::fromStdString(text),
                  QMessageBox::Ok, parent_);
  // A name or a folder in a message can be copied from it.
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
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
  if (const QString last = LastFolder(kind); !last.isEmpty()) dialog.setDirectory(last);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  paths.clear();
  for (const QString& file : dialog.selectedFiles())
    paths.push_back(ToPath(file));
  KeepFolder(kind, QFileInfo(dialog.selectedFiles().constFirst()).absolutePath());
  return true;
}

bool CQtUserPrompts::ChooseFolder(std::string& path) {
  const QString folder = QFileDialog::getExistingDirectory(parent_);
  if (folder.isEmpty()) return false;
  path = ToPath(folder);
  return true;
}

bool CQtUserPrompts::ChooseFolderAndFormat(std::string& folder, CardFileFormat& format) {
  CardFileFormat offered = format;
  if (settings_ != nullptr && settings_->contains(kFormatKey))
    offered = settings_->value(kFormatKey).toString() == QLatin1String("vms") ? CardFileFormat::Vms
                                                                              : CardFileFormat::Dci;
  // The first time, the folder the file dialogs would open in, so OK can be taken at once.
  const QString last = LastFolder(kCardFileKind);
  CFolderFormatDlg dialog(last.isEmpty() ? QDir::currentPath() : last, offered, parent_);
  if (dialog.exec() != QDialog::Accepted) return false;
  folder = ToPath(dialog.Folder());
  format = dialog.Format();
  KeepFolder(kCardFileKind, QFileInfo(dialog.Folder()).absoluteFilePath());
  if (settings_ != nullptr) {
    settings_->setValue(
        kFormatKey, format == CardFileFormat::Vms ? QStringLiteral("vms") : QStringLiteral("dci"));
    settings_->sync();
  }
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
  // A name typed without an extension takes the first one of the filter
  // chosen; the name suggested changes its extension with the filter.
  const QString suggested = QFileInfo(FromPath(path)).completeBaseName();
  QObject::connect(
      &dialog, &QFileDialog::filterSelected, &dialog, [&dialog, suggested](const QString& filter) {
        const qsizetype star = filter.indexOf(QStringLiteral("*."));
        if (star < 0) return;
        const qsizetype end = filter.indexOf(QRegularExpression(QStringLiteral("[ )]")), star);
        const QString suffix = filter.mid(star + 2, end - star - 2);
        dialog.setDefaultSuffix(suffix);
        const QStringList typed = dialog.selectedFiles();
        if (!suggested.isEmpty() && !typed.isEmpty() &&
            QFileInfo(typed.constFirst()).completeBaseName() == suggested)
          dialog.selectFile(suggested + '.' + suffix);
      });
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  // The folder last used for the kind, and the name the command suggests.
  if (const QString last = LastFolder(kind); !last.isEmpty()) dialog.setDirectory(last);
  if (!path.empty()) dialog.selectFile(FromPath(path));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  // The name as the file system spells it, for std::fopen and friends.
  const QString chosen = dialog.selectedFiles().constFirst();
  path = ToPath(chosen);
  KeepFolder(kind, QFileInfo(chosen).absolutePath());
  return true;
}
