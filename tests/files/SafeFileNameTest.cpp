#include "SafeFileName.h"

#include <gtest/gtest.h>

// A card's file name is any 12 bytes; the file made from it stays in its folder.
TEST(SafeFileStem, KeepsPlainNamesAndDefusesTheRest) {
  EXPECT_EQ(SafeFileStem("RACE_GHOST01"), "RACE_GHOST01");
  EXPECT_EQ(SafeFileStem("SONIC2.SYS  "), "SONIC2.SYS");  // the blank padding goes
  EXPECT_EQ(SafeFileStem("../../etc/pa"), "file.._.._etc_pa");
  EXPECT_EQ(SafeFileStem(std::string("A\0B/\xFF", 5)), "A_B__");
  EXPECT_EQ(SafeFileStem(""), "file");
  EXPECT_EQ(SafeFileStem(".."), "file..");
}
