#include "HelpWindow.h"

#include <gtest/gtest.h>

#include <QTextBrowser>
#include <QWidget>

TEST(UserGuide, OpensOneWindowWithTheShippedGuide) {
  Q_INIT_RESOURCE(resources);
  QWidget frame;
  ShowUserGuide(&frame);
  ShowUserGuide(&frame);

  const auto windows = frame.findChildren<QTextBrowser*>("userGuide");
  ASSERT_EQ(windows.size(), 1);
  QTextBrowser* guide = windows[0];
  EXPECT_TRUE(guide->isWindow());
  EXPECT_TRUE(guide->isVisible());
  EXPECT_FALSE(guide->isModal());
  EXPECT_TRUE(guide->toPlainText().contains("Korvantis User Guide"));
  EXPECT_TRUE(guide->toPlainText().contains("korvantis-cli"));
}
