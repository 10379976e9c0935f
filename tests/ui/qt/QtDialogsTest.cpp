// The desktop's own dialogs as the user meets them: each is looked at and
// answered the moment it shows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTimer>
#include <functional>
#include <string>

#include "QtUserPrompts.h"
#include "ScratchDirectory.h"

namespace {

// Acts once on the first modal dialog that shows.
void WhenShown(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) return;
    timer->stop();
    timer->deleteLater();
    act(dialog);
  });
  timer->start(1);
}

class QtDialogs : public ::testing::Test {
 protected:
  QString Folder(const char* name) {
    const QString folder = QString::fromStdString(scratch_.File(name));
    QDir().mkpath(folder);
    return folder;
  }
  CScratchDirectory scratch_;
  QSettings settings_{QString::fromStdString(scratch_.File("Korvantis.conf")),
                      QSettings::IniFormat};
  CQtUserPrompts user_{nullptr, &settings_};
};

// Several files: folder and format in one dialog, OK only for a folder that
// exists, both offered again next time, and Cancel chooses nothing.
TEST_F(QtDialogs, DownloadOfSeveralAsksFolderAndFormatOnceAndRemembers) {
  const QString there = Folder("saves");
  bool okForNone = true, okForMissing = true;
  QString first;
  WhenShown([&](QWidget* dialog) {
    auto* field = dialog->findChild<QLineEdit*>("folder");
    auto* ok = dialog->findChild<QPushButton*>("ok");
    first = field->text();
    field->clear();
    okForNone = ok->isEnabled();
    field->setText(there + "/missing");
    okForMissing = ok->isEnabled();
    field->setText(there);
    dialog->findChild<QRadioButton*>("vms")->setChecked(true);
    ok->click();
  });
  std::string folder;
  CardFileFormat format = CardFileFormat::Dci;
  ASSERT_TRUE(user_.ChooseFolderAndFormat(folder, format));
  EXPECT_EQ(first, QDir::currentPath());  // nothing remembered yet
  EXPECT_FALSE(okForNone);
  EXPECT_FALSE(okForMissing);
  EXPECT_EQ(folder, there.toStdString());
  EXPECT_EQ(format, CardFileFormat::Vms);

  QString offered;
  bool vmsOffered = false;
  WhenShown([&](QWidget* dialog) {
    offered = dialog->findChild<QLineEdit*>("folder")->text();
    vmsOffered = dialog->findChild<QRadioButton*>("vms")->isChecked();
    dialog->close();
  });
  folder = "before";
  format = CardFileFormat::Dci;
  EXPECT_FALSE(user_.ChooseFolderAndFormat(folder, format));
  EXPECT_EQ(offered, there);
  EXPECT_TRUE(vmsOffered);
  EXPECT_EQ(folder, "before");
  EXPECT_EQ(format, CardFileFormat::Dci);
}

// A save dialog offers the name suggested in the folder last used for that
// kind of file; other kinds keep their own folder.
TEST_F(QtDialogs, SaveDialogsOfferTheNameInTheFolderLastUsed) {
  const QString backups = Folder("backups");
  settings_.setValue("Folders/dcm", backups);
  QString shownFolder, shownName;
  WhenShown([&](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    ASSERT_NE(files, nullptr);
    shownFolder = files->directory().absolutePath();
    shownName = files->findChild<QLineEdit*>("fileNameEdit")->text();
    static_cast<QDialog*>(files)->accept();  // as OK does
  });
  std::string path = "page2-2026-12-07.dcm";
  ASSERT_TRUE(user_.ChooseFileToSave(kDcmFileKind, path));
  EXPECT_EQ(shownFolder, backups);
  EXPECT_EQ(shownName, "page2-2026-12-07.dcm");
  EXPECT_EQ(path, (backups + "/page2-2026-12-07.dcm").toStdString());

  const QString downloads = Folder("downloads"), elsewhere = Folder("elsewhere");
  settings_.setValue("Folders/dci", downloads);
  WhenShown([&](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    shownFolder = files->directory().absolutePath();
    files->selectFile(elsewhere + "/RACE.dci");
    static_cast<QDialog*>(files)->accept();  // as OK does
  });
  path = "RACE.dci";
  ASSERT_TRUE(user_.ChooseFileToSave(kCardFileKind, path));
  EXPECT_EQ(shownFolder, downloads);
  EXPECT_EQ(settings_.value("Folders/dci").toString(), elsewhere);
  EXPECT_EQ(settings_.value("Folders/dcm").toString(), backups);
}

// A message's text can be selected and copied: a folder's name, say.
TEST_F(QtDialogs, AMessageCanBeSelected) {
  Qt::TextInteractionFlags flags;
  WhenShown([&](QWidget* dialog) {
    flags = qobject_cast<QMessageBox*>(dialog)->textInteractionFlags();
    dialog->close();
  });
  user_.ShowMessage("/tmp/safety-copies");
  EXPECT_TRUE(flags.testFlag(Qt::TextSelectableByMouse));
}

}  // namespace
