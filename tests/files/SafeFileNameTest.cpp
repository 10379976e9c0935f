#include "SafeFileName.h"

#include <gtest/gtest.h>

#include <set>

// A card's file name is any 12 bytes; the file made from it stays in its folder.
TEST(SafeFileStem, KeepsPlainNamesAndDefusesTheRest) {
  EXPECT_EQ(SafeFileStem("RACE_GHOST01"), "RACE_GHOST01");
  EXPECT_EQ(SafeFileStem("SONIC2.SYS  "), "SONIC2.SYS");  // the blank padding goes
  EXPECT_EQ(SafeFileStem("../../etc/pa"), "file.._.._etc_pa");
  EXPECT_EQ(SafeFileStem(std::string("A\0B/\xFF", 5)), "A_B__");
  EXPECT_EQ(SafeFileStem(""), "file");
  EXPECT_EQ(SafeFileStem(".."), "file..");
}

// One folder gets one file per card file, whatever the names and letter case.
TEST(SafeFileStem, NamesApartTheFilesOfOneFolder) {
  std::set<std::string> taken;
  std::vector<std::string> stems;
  for (const char* name : {"SAVE A      ", "SAVE_A", "save/a", "SAVE_A-2", "  ", ""})
    stems.push_back(DistinctFileStem(static_cast<std::uint16_t>(stems.size() + 5), name, taken));
  EXPECT_EQ(stems, (std::vector<std::string>{"SAVE_A", "SAVE_A-2", "save_a-3", "SAVE_A-2-2",
                                             "slot-09", "slot-10"}));
  EXPECT_EQ(DistinctFileStem(204, std::string(12, '\0'), taken), "slot-204");
}

// A VMS file's stem is one its VMI can name whole: 8 letters and digits
// (download --all's test shows names cut and told apart by letter case).
TEST(SafeFileStem, NamesPairsApartWithinEightCharacters) {
  std::set<std::string> taken;
  EXPECT_EQ(DistinctShortStem(7, "  ./  ", 8, taken), "SLOT07");
  for (int n = 1; n <= 9; ++n)
    DistinctShortStem(0, "CVS.S2__SYS1", 8, taken);
  EXPECT_EQ(DistinctShortStem(0, "CVSS2SYS", 8, taken), "CVSS2S10");
}
