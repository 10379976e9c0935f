#include "LinkCheckRunner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "ResultAssertion.h"
#include "ScratchDirectory.h"

using ::testing::HasSubstr;

namespace {

class LinkCheck : public ::testing::Test {
 protected:
  int Run(const std::vector<std::string>& arguments) {
    out_.str("");
    err_.str("");
    return RunLinkCheck(arguments, environment_, out_, err_);
  }
  // Four pages of different bytes.
  std::string FourPages() {
    const std::string image = scratch_.File("four.bin");
    EXPECT_TRUE(Succeeded(CPageImage::WriteNewFile(
        image, {NoisePage(1), CPageImage::Formatted(), NoisePage(3), NoisePage(4)})));
    return image;
  }

  CScratchDirectory scratch_;
  LinkCheckEnvironment environment_;
  std::ostringstream out_, err_;
};

long RefusedWrite(int, const void*, std::size_t) {
  errno = ENOSPC;
  return -1;
}

}  // namespace

TEST_F(LinkCheck, WritesEveryPageOfTheImageAndPutsItBack) {
  const std::string image = FourPages();
  const auto before = ReadBytes(image);
  ASSERT_EQ(Run({"--image", image, "--delay", "0"}), 0) << out_.str() << err_.str();
  EXPECT_THAT(out_.str(), HasSubstr("Korvantis link check on " + image + "\n"));
  EXPECT_THAT(out_.str(), HasSubstr("Page 4\n  read 32 units of 4096 bytes"));
  EXPECT_THAT(out_.str(), ::testing::EndsWith("Every transaction succeeded.\n"));
  EXPECT_EQ(err_.str(), "");
  EXPECT_EQ(ReadBytes(image), before);
}

// On a real port the card is only read.
TEST_F(LinkCheck, OnAPortOnlyReadsTheSelectedPage) {
  CSimulatedCard card;
  environment_.chooser = [&card](std::uint16_t) {
    return PortRoadChoice{std::make_unique<CSimulatedPortRoad>(card), Result()};
  };
  ASSERT_EQ(Run({"--port", "0x278", "--delay", "0"}), 0) << out_.str() << err_.str();
  EXPECT_THAT(out_.str(), HasSubstr("Selected page (read only)\n  read 32 units"));
  EXPECT_EQ(card.GetCounters().reads, 32u);
  EXPECT_EQ(card.GetCounters().writeUnits, 0u);
}

TEST_F(LinkCheck, FailsOnAWrongCommandLineAnImageItCannotUseOrAWriteRefused) {
  EXPECT_EQ(Run({"--frobnicate"}), 2);
  EXPECT_FALSE(err_.str().empty());
  EXPECT_EQ(Run({"--image", scratch_.File("none.bin")}), 1);
  EXPECT_THAT(err_.str(), HasSubstr(scratch_.File("none.bin")));

  const std::string image = FourPages();
  EXPECT_EQ(Run({"--image", image, "--trace", image, "--force"}), 1);
  EXPECT_THAT(err_.str(), HasSubstr(" is the card image itself"));

  const auto before = ReadBytes(image);
  environment_.imageCalls.write = RefusedWrite;
  EXPECT_EQ(Run({"--image", image, "--delay", "0"}), 1);
  EXPECT_THAT(out_.str(), HasSubstr("write 1024 units of 128 bytes      FAILED: "));
  EXPECT_THAT(out_.str(), ::testing::EndsWith("The link check failed.\n"));
  EXPECT_EQ(ReadBytes(image), before);
}
