#include "FilePropertiesDlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QTest>

namespace {

TEST(FilePropertiesDialog, AProtectedFileShowsTheBoxTickedAndItCannotBeChanged) {
  FileProperties properties;
  properties.copyProtect = true;
  CFilePropertiesDlg dialog(properties, nullptr);
  dialog.show();
  auto* box = dialog.findChild<QCheckBox*>("copyProtect");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), "&Copy Protect");
  EXPECT_TRUE(box->isChecked());
  EXPECT_FALSE(box->isEnabled());
  QTest::mouseClick(box, Qt::LeftButton);
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_TRUE(box->isChecked());

  CFilePropertiesDlg open(FileProperties{}, nullptr);
  EXPECT_FALSE(open.findChild<QCheckBox*>("copyProtect")->isChecked());
}

// The card's texts are bytes in no declared character set; every byte must
// reach the screen as one character, control bytes and markup included.
TEST(FilePropertiesDialog, ShowsEachByteOfTheCardsTextsAsOneCharacter) {
  FileProperties properties;
  properties.fileName = "SAVE\x1A\xE9";
  properties.shortDescription = std::string("A\0B", 3);
  properties.longDescription = "<b>not bold</b> \xFF";
  properties.application = "\x80\x9F";
  properties.type = "Data";
  properties.size = "1 Block";
  properties.date = "12/31/1999";
  properties.time = "23:59:59";
  CFilePropertiesDlg dialog(properties, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "File Properties");

  const std::pair<const char*, const std::string*> shown[] = {
      {"fileName", &properties.fileName},
      {"shortDescription", &properties.shortDescription},
      {"longDescription", &properties.longDescription},
      {"application", &properties.application},
      {"type", &properties.type},
      {"size", &properties.size},
      {"date", &properties.date},
      {"time", &properties.time}};
  for (const auto& [name, bytes] : shown) {
    SCOPED_TRACE(name);
    auto* label = dialog.findChild<QLabel*>(name);
    ASSERT_NE(label, nullptr);
    const QString text = label->text();
    ASSERT_EQ(text.size(), static_cast<qsizetype>(bytes->size()));
    for (std::size_t i = 0; i < bytes->size(); ++i) {
      EXPECT_EQ(text[static_cast<qsizetype>(i)].unicode(), static_cast<unsigned char>((*bytes)[i]));
    }
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
  }
}

}  // namespace
