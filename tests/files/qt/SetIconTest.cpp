#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

#include "CardListView.h"
#include "CardOnSimulator.h"
#include "FilePropertiesDlg.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"
#include "SetIconDlg.h"

namespace {
// Opaque colours the card keeps exactly, and a transparent one.
QRgb Source(int x, int y) {
  static const QRgb kColours[] = {0xFF112233, 0xFFEEDD00, 0xFF0088FF, 0x00000000, 0xFFFFFFFF};
  return kColours[(x + 3 * y + x * y % 7) % 5];
}

// The pixels of what a label or an icon draws that differ from the picture.
int Wrong(const QPixmap& shown) {
  const QImage image = shown.toImage().convertToFormat(QImage::Format_ARGB32);
  if (image.size() != QSize(32, 32)) return -1;
  int wrong = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      wrong +=
          image.pixel(x, y) != Source(x, y) && qAlpha(image.pixel(x, y)) + qAlpha(Source(x, y)) > 0;
  return wrong;
}
}  // namespace

// A grey ramp, dark on the left: the threshold decides how many columns of
// the preview are dark, and the choice is what the dialog shows.
TEST(SetIconDialog, TheThresholdMovesTheMonochromePreviewAndTheChoiceFollowsTheDialog) {
  RgbaPicture ramp{32, 32, {}};
  for (int i = 0; i < 1024; ++i) {
    const auto grey = static_cast<std::uint8_t>(i % 32 * 8 + 4);
    ramp.rgba.insert(ramp.rgba.end(), {grey, grey, grey, 255});
  }
  CardIconChoice choice;
  choice.description = "Ramp";
  CSetIconDlg dialog(ramp, choice, nullptr);
  auto* slider = dialog.findChild<QSlider*>("threshold");
  auto* preview = dialog.findChild<QLabel*>("monoPreview");
  ASSERT_TRUE(slider && preview);
  const auto darkColumns = [&] {
    int dark = 0;
    for (int x = 0; x < 32; ++x)
      dark += dialog.MonoPreview().pixel(x, 16) == 0xFF000000;
    return dark;
  };
  const auto shownDark = [&](int x) {
    return preview->pixmap().toImage().pixel(4 * x + 1, 64) == 0xFF000000;
  };
  EXPECT_EQ(darkColumns(), 16);
  EXPECT_TRUE(shownDark(12));
  slider->setValue(64);
  EXPECT_EQ(darkColumns(), 8);
  EXPECT_FALSE(shownDark(12));
  QTest::keyClick(slider, Qt::Key_End);
  EXPECT_EQ(darkColumns(), 32);

  auto* description = dialog.findChild<QLineEdit*>("description");
  description->clear();
  QTest::keyClicks(description, "Caf");
  QTest::sendKeyEvent(QTest::Click, description, Qt::Key_Eacute, QString(QChar(0xE9)),
                      Qt::NoModifier);
  QTest::keyClicks(description, " icon for the card");
  dialog.findChild<QCheckBox*>("monoOnly")->click();
  EXPECT_FALSE(dialog.findChild<QLabel*>("colourPreview")->isEnabled());
  const CardIconChoice chosen = dialog.Choice();
  EXPECT_EQ(chosen.threshold, 255);
  EXPECT_EQ(chosen.description, "Caf icon for the");  // 16 characters the card can show
  EXPECT_TRUE(chosen.monoOnly);
}

// Set Icon from the list: Qt reads the picture, the preview is asked (here
// answered at once), and the list and Properties show the icon written.
TEST(SetIcon, TheListAndPropertiesShowTheIconSetIconWrote) {
  CScratchDirectory scratch;
  QImage picture(32, 32, QImage::Format_ARGB32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      picture.setPixel(x, y, Source(x, y));
  const std::string path = scratch.File("picture.png");
  ASSERT_TRUE(picture.save(QString::fromStdString(path)));
  CCardOnSimulator sim;
  sim.LoadPage(CPageImage::Formatted());
  CScriptedUser user;
  user.AnswerNextChoice(path);
  CCardListView view(sim.Card(), user, [] { return std::make_unique<CScriptedProgress>(); });
  view.chooseIcon = [](const RgbaPicture& offered, CardIconChoice& choice) {
    EXPECT_EQ(offered.width, 32);
    EXPECT_EQ(choice.description, "picture");
    choice.description = "Qt Icon";
    return true;
  };
  view.OnViewLargeIcons();
  view.OnSetIcon();
  EXPECT_EQ(user.messages, std::vector<std::string>());
  ASSERT_EQ(view.GetModel()->rowCount(), 1);
  EXPECT_EQ(Wrong(view.GetModel()->item(0, 0)->icon().pixmap(32, 32)), 0);

  FileTexts properties;
  view.showProperties = [&properties](const FileTexts& texts) { properties = texts; };
  view.GetDetailsView()->selectionModel()->select(
      view.GetModel()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  view.OnProperties();
  EXPECT_EQ(properties.Text(FileColumn::ShortDescription), "Qt Icon         ");
  CFilePropertiesDlg dialog(properties, nullptr);
  EXPECT_EQ(Wrong(dialog.findChild<QLabel*>("fileIcon")->pixmap()), 0);
}
