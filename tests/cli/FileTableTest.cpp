#include "FileTable.h"

#include <gtest/gtest.h>

// What the table pads by: a kanji or a full-width letter takes two columns, a
// half-width katakana or an accented Latin letter one whatever the locale,
// and a combining accent none.
TEST(DisplayWidth, CountsTheColumnsATerminalDraws) {
  EXPECT_EQ(DisplayWidth("\u6591\u9ce9"), 4u);
  EXPECT_EQ(DisplayWidth("\uff21\uff92\uff72"), 4u);
  EXPECT_EQ(DisplayWidth("Caf\u00e9 \u00b0"), 6u);
  EXPECT_EQ(DisplayWidth("Cafe\u0301"), 4u);
  EXPECT_EQ(DisplayWidth(""), 0u);
}
