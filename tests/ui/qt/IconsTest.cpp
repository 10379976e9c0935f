#include <gtest/gtest.h>

#include <QIcon>

#include "Icons.h"

namespace {

void ExpectPaintedAt(const QIcon& icon, std::initializer_list<int> sizes, const char* what) {
  ASSERT_FALSE(icon.isNull()) << what;
  for (int size : sizes) {
    EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << what << " at " << size;
    const QPixmap pixmap = icon.pixmap(size, size);
    EXPECT_FALSE(pixmap.isNull()) << what << " at " << size;
    EXPECT_EQ(pixmap.size(), QSize(size, size)) << what << " at " << size;
  }
}

TEST(IconsTest, EveryPictureIsPaintedAtItsSizes) {
  ExpectPaintedAt(ProgramIcon(), {16, 32, 48, 64, 128, 256}, "program");
  ExpectPaintedAt(FileIcon(), {16, 32}, "file");
  for (int command : {32777, 32771, 32772, 32773, 32774, 57664})
    ExpectPaintedAt(ToolbarIcon(command), {16}, std::to_string(command).c_str());
  EXPECT_EQ(ProgramPixmap(96).size(), QSize(96, 96));
  EXPECT_TRUE(ToolbarIcon(32775).isNull());  // Backup has no button
}

}  // namespace
