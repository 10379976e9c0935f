#include "Messages.h"

#include <gtest/gtest.h>

TEST(Messages, FillPutsTheValuesInTheirPlacesInOrder) {
  EXPECT_EQ(Fill(message::kNotEnoughSpace, {"3 blocks", "there are only 2 blocks free"}),
            "There is not enough free space on this memory card.  This file requires 3 blocks, "
            "but there are only 2 blocks free on this memory card.");
  // A value that holds braces is not filled in again; a missing value leaves its mark.
  EXPECT_EQ(Fill(message::kPortCannotClaim, {"/dev/{x}"}),
            "Cannot claim /dev/{x}: {reason}. Another program may be using the port; close it "
            "and try again.");
  EXPECT_EQ(Fill(message::kCannotRead, {"unused"}), "File could not be read.");
}
