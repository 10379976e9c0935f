#include "FilePropertiesDlg.h"

#include "CardText.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QTest>

namespace {

TEST(FilePropertiesDialog, AProtectedFileShowsTheBoxTickedAndItCannotBeChanged) {
  FileTexts properties;
  properties.copyProtect = true;
  CFilePropertiesDlg dialog(properties, nullptr);
  dialog.show();
  auto* box = dialog.findChild<QCheckBox*>("copyProtect");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isChecked());
  EXPECT_FALSE(box->isEnabled());
  QTest::mouseClick(box, Qt::LeftButton);
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_TRUE(box->isChecked());
}

// Read as Latin-1, every byte of the card's texts must reach the screen as
// one character, control bytes and markup included.
TEST(FilePropertiesDialog, ShowsEachByteOfTheCardsTextsAsOneCharacter) {
  const std::pair<const char*, FileColumn> fields[] = {
      {"fileName", FileColumn::FileName},
      {"shortDescription", FileColumn::ShortDescription},
      {"longDescription", FileColumn::LongDescription},
      {"application", FileColumn::Application},
      {"type", FileColumn::Type},
      {"size", FileColumn::Size},
      {"date", FileColumn::Date},
      {"time", FileColumn::Time}};
  const std::string bytes[] = {"SAVE\x1A\xE9", std::string("A\0B", 3), "<b>not bold</b> \xFF",
                               "\x80\x9F"};
  FileTexts properties, decoded;
  for (std::size_t i = 0; i < std::size(fields); ++i) {
    properties.Text(fields[i].second) = bytes[i % std::size(bytes)] + std::to_string(i);
    decoded.Text(fields[i].second) = DecodeLatin1(properties.Text(fields[i].second));
  }
  CFilePropertiesDlg dialog(decoded, nullptr);

  for (const auto& [name, column] : fields) {
    SCOPED_TRACE(name);
    const std::string& shown = properties.Text(column);
    auto* label = dialog.findChild<QLabel*>(name);
    ASSERT_NE(label, nullptr);
    const QString text = label->text();
    ASSERT_EQ(text.size(), static_cast<qsizetype>(shown.size()));
    for (std::size_t i = 0; i < shown.size(); ++i)
      EXPECT_EQ(text[static_cast<qsizetype>(i)].unicode(), static_cast<unsigned char>(shown[i]));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
  }
}

}  // namespace
