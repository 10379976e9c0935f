#include "AboutDlg.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QLabel>
#include <QTest>
#include <QUrl>
#include <vector>

#include "ProgramInfo.h"

// Stands in for the desktop's browser while a test clicks the link.
class CUrlRecorder : public QObject {
  Q_OBJECT

 public:
  std::vector<QUrl> opened;

 public slots:
  void Open(const QUrl& url) { opened.push_back(url); }
};

namespace {

QLabel* LabelWithText(QWidget& dialog, const QString& text) {
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->text() == text) return label;
  }
  return nullptr;
}

TEST(AboutDialog, OnlyTheLinkOpensTheWebPage) {
  CUrlRecorder browser;
  QDesktopServices::setUrlHandler("https", &browser, "Open");
  CAboutDlg dialog(nullptr);
  dialog.show();
  QLabel* version = LabelWithText(
      dialog, QStringLiteral("Korvantis Version ") + QString::fromUtf8(program::kVersionText));
  ASSERT_NE(version, nullptr);
  auto* link = dialog.findChild<QLabel*>("webPage");
  ASSERT_NE(link, nullptr);

  QTest::mouseClick(version, Qt::LeftButton);
  EXPECT_TRUE(browser.opened.empty());
  QTest::mouseClick(link, Qt::LeftButton);
  QDesktopServices::unsetUrlHandler("https");
  ASSERT_EQ(browser.opened.size(), 1u);
  EXPECT_EQ(browser.opened[0], QUrl(CAboutDlg::kWebPage));
  EXPECT_TRUE(dialog.isVisible());  // the box stays open
}

}  // namespace

#include "AboutDlgTest.moc"
