#include <gtest/gtest.h>

#include "UserPrompts.h"

namespace {

// File choosers match names case by case; saves copied from consoles' tools
// are named in upper case, so each pattern is offered in both.
TEST(FileKind, FiltersOfferEveryPatternInUpperCaseToo) {
  EXPECT_EQ(FilterInEitherCase(kCardFileKind.filter),
            "DCI files (*.dci *.DCI);;VMS files (*.vms *.vmi *.VMS *.VMI);;All Files (*)");
  EXPECT_EQ(FilterInEitherCase(kCardImageFileKind.filter),
            "Card Image (*.bin *.vmu *.vmd *.dcm *.BIN *.VMU *.VMD *.DCM);;All Files (*)");
  EXPECT_EQ(FilterInEitherCase("Pictures (*.PNG *.gif)"), "Pictures (*.PNG *.gif *.GIF)");
}

}  // namespace
