#include "HelpWindow.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QWidget>

#include "Messages.h"

TEST(UserGuide, OpensOneWindowWithTheShippedGuideWhichEscapeCloses) {
  Q_INIT_RESOURCE(resources);
  QWidget frame;
  ShowUserGuide(&frame);
  ShowUserGuide(&frame);

  const auto windows = frame.findChildren<QTextBrowser*>("userGuide");
  ASSERT_EQ(windows.size(), 1);
  QPointer<QTextBrowser> guide = windows[0];
  EXPECT_TRUE(guide->isVisible());
  EXPECT_TRUE(guide->toPlainText().contains("Korvantis User Guide"));

  ASSERT_TRUE(QTest::qWaitForWindowActive(guide));
  QTest::keyClick(guide, Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([&] { return guide.isNull(); }));  // closed, and gone
}

// The guide's list of messages is made from the program's catalogue.
TEST(UserGuide, ListsEveryMessageTheProgramShows) {
  Q_INIT_RESOURCE(resources);
  QWidget frame;
  ShowUserGuide(&frame);
  QTextBrowser* guide = frame.findChild<QTextBrowser*>("userGuide");
  ASSERT_NE(guide, nullptr);
  const QString text = guide->toPlainText().simplified();
  for (const Message* message : AllMessages()) {
    // What the program fills in shows as the words between the braces.
    const QString shown = QString::fromUtf8(message->text).remove(QRegularExpression("[{}]"));
    EXPECT_EQ(text.contains(shown.simplified()), message->advice[0] != '\0') << message->text;
  }
  EXPECT_FALSE(text.contains("The transfer was cancelled."));
  guide->close();
}
