// The desktop's progress window and user, held to the contract of every
// front end. The user's dialogs are closed as soon as they show, as when a
// person closes them unanswered.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "ProgressContract.h"
#include "ProgressDlg.h"
#include "QtUserPrompts.h"
#include "UserPromptsContract.h"

namespace {

ProgressOnTest Dialog() {
  auto window = std::make_shared<CProgressDlg>(nullptr);
  return {window, window.get(), [w = window.get()] {
            QMetaObject::invokeMethod(w->findChild<QPushButton*>("cancel"), "click",
                                      Qt::QueuedConnection);
          }};
}

INSTANTIATE_TEST_SUITE_P(Qt, ProgressContract,
                         ::testing::Values(ProgressUnderTest{"dialog", Dialog}), ProgressName);

// Closes every modal dialog the moment it is up, noting what a message box
// said and the cursor it was shown with.
struct ClosingUser {
  ClosingUser() {
    QObject::connect(&closer, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr) return;
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        shown += box->text().toStdString() + "\n";
        const QCursor* cursor = QApplication::overrideCursor();
        cursors.push_back(cursor != nullptr ? cursor->shape() : Qt::ArrowCursor);
      }
      modal->close();
    });
    closer.start(1);
  }

  CQtUserPrompts user{nullptr};
  QTimer closer;
  std::string shown;
  std::vector<Qt::CursorShape> cursors;
};

UserOnTest Closing() {
  auto kept = std::make_shared<ClosingUser>();
  UserOnTest made(kept, &kept->user);
  made.shown = [k = kept.get()] { return k->shown; };
  made.looksBusy = [] {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
  };
  return made;
}

INSTANTIATE_TEST_SUITE_P(Qt, UserPromptsContract,
                         ::testing::Values(UserUnderTest{"dialogs", Closing}), UserName);

// A message waits for the user, so it shows the ordinary cursor even while
// the command is busy.
TEST(QtUserPrompts, AMessageShowsTheOrdinaryCursorWhileBusy) {
  ClosingUser closing;
  {
    CBusyScope busy(closing.user);
    closing.user.ShowMessage("Reading...");
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(closing.cursors, std::vector<Qt::CursorShape>{Qt::ArrowCursor});
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
