#include <gtest/gtest.h>

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ProgressDlg.h"

namespace {

// A main window with a client widget standing in for the file list.
class ProgressDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* client = new QWidget;
    list_ = client;
    window_.setCentralWidget(client);
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  }

  QLabel* Percent(CProgressDlg& dialog) { return dialog.findChild<QLabel*>("percent"); }
  QPushButton* Cancel(CProgressDlg& dialog) { return dialog.findChild<QPushButton*>("cancel"); }

  QMainWindow window_;
  QWidget* list_ = nullptr;
};

class CEventWatch : public QObject {
 public:
  explicit CEventWatch(std::function<void(QEvent*)> onEvent) : onEvent_(std::move(onEvent)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    onEvent_(event);
    return false;
  }

 private:
  std::function<void(QEvent*)> onEvent_;
};

std::vector<std::string> PercentsShown(std::int32_t upper, std::vector<std::int32_t> positions) {
  CProgressDlg dialog(nullptr);
  dialog.Create();
  dialog.SetRange(0, upper);
  std::vector<std::string> shown;
  for (std::int32_t position : positions) {
    dialog.SetPos(position);
    shown.push_back(dialog.findChild<QLabel*>("percent")->text().toStdString());
  }
  return shown;
}

TEST_F(ProgressDlgTest, OpensAsDataTransferAndShowsThePercentOfThePosition) {
  CProgressDlg dialog(list_);
  ASSERT_TRUE(dialog.Create());
  dialog.SetMessageText("Refreshing file list...");
  dialog.SetRange(0, 8);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.isModal());
  // Fixed in size, with nothing to maximize or minimize.
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  EXPECT_FALSE(dialog.windowFlags() &
               (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
  // The percentage reads the range's start until the operation reports a position.
  EXPECT_EQ(Percent(dialog)->text(), "0%");
  EXPECT_EQ(dialog.SetPos(5), 0);
  EXPECT_EQ(dialog.SetPos(6), 5);

  EXPECT_EQ(PercentsShown(3, {0, 1, 2}), (std::vector<std::string>{"0%", "33%", "66%"}));
  EXPECT_EQ(PercentsShown(131072, {126976}), (std::vector<std::string>{"96%"}));
  // Past the end the percentage wraps.
  EXPECT_EQ(PercentsShown(100, {0, 100, 150, 200}),
            (std::vector<std::string>{"0%", "100%", "50%", "0%"}));
}

// Under a window manager, a window that grows after it was shown is blank
// until the program next handles events: it shows at its message's size.
TEST_F(ProgressDlgTest, ShowsOnlyWithItsMessageAtTheSizeItNeeds) {
  CProgressDlg dialog(list_);
  QSize shown;
  CEventWatch watch([&](QEvent* event) {
    if (event->type() == QEvent::Show) shown = dialog.size();
  });
  dialog.installEventFilter(&watch);
  dialog.Create();
  dialog.SetMessageText(std::string(80, 'W'));
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_GT(shown.width(), 300);
  dialog.SetRange(0, 4);
  dialog.SetPos(0);
  EXPECT_EQ(dialog.size(), shown);
}

TEST_F(ProgressDlgTest, CancelIsCollectedByTheNextPollOnlyOnce) {
  CProgressDlg dialog(list_);
  dialog.Create();
  EXPECT_FALSE(dialog.PollCancel());

  // Presses made while a unit runs wait in the queue; the poll delivers them.
  QMetaObject::invokeMethod(Cancel(dialog), "click", Qt::QueuedConnection);
  QMetaObject::invokeMethod(Cancel(dialog), "click", Qt::QueuedConnection);
  EXPECT_TRUE(dialog.PollCancel());
  EXPECT_FALSE(dialog.PollCancel());

  QTest::mouseClick(Cancel(dialog), Qt::LeftButton);
  dialog.SetPos(1);  // reporting a position does not use up the request
  EXPECT_TRUE(dialog.PollCancel());
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ProgressDlgTest, EscapeAndTheCloseBoxAskToCancelAndEnterDoesNothing) {
  CProgressDlg dialog(list_);
  dialog.Create();
  dialog.PollCancel();  // the first pump lets the dialog take the focus
  ASSERT_TRUE(Cancel(dialog)->hasFocus());
  QTest::keyClick(Cancel(dialog), Qt::Key_Return);
  QTest::keyClick(Cancel(dialog), Qt::Key_Enter);
  QTest::keyClick(&dialog, Qt::Key_Return);
  EXPECT_FALSE(dialog.PollCancel());
  EXPECT_TRUE(dialog.isVisible());

  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_TRUE(dialog.PollCancel());
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.close());
  EXPECT_TRUE(dialog.PollCancel());
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(window_.isEnabled());
}

TEST_F(ProgressDlgTest, MainWindowIsDisabledWhileOpenAndEnabledAfterwards) {
  {
    CProgressDlg dialog(list_);
    dialog.Create();
    EXPECT_FALSE(window_.isEnabled());
    EXPECT_TRUE(dialog.isEnabled());  // Cancel still works
    EXPECT_TRUE(Cancel(dialog)->isEnabled());
    dialog.PollCancel();
    EXPECT_FALSE(window_.isEnabled());
    EXPECT_FALSE(window_.close());  // nor can it be closed
    EXPECT_TRUE(window_.isVisible());

    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_TRUE(window_.isEnabled());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.DestroyWindow());
    EXPECT_TRUE(window_.isEnabled());
  }
  {
    // An operation that ends without closing leaves it to the destructor.
    auto dialog = std::make_unique<CProgressDlg>(&window_);
    dialog->Create();
    EXPECT_FALSE(window_.isEnabled());
    dialog.reset();
    EXPECT_TRUE(window_.isEnabled());
  }
  // A window already disabled stays so.
  window_.setEnabled(false);
  CProgressDlg dialog(list_);
  dialog.Create();
  EXPECT_TRUE(dialog.isEnabled());
  dialog.DestroyWindow();
  EXPECT_FALSE(window_.isEnabled());
}

}  // namespace
