#include "CliFixture.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

// A file of a page's size that is no page a card can use.
std::string NoiseFile(const CScratchDirectory& scratch) {
  const std::string noise = scratch.File("noise.dcm");
  const CPageImage page = NoisePage(9);
  WriteBytes(noise, std::vector<std::uint8_t>(page.GetData(), page.GetData() + 131072));
  return noise;
}

}  // namespace

TEST_F(CommandLine, AnImageOfSeveralPagesIsRestoredOnlyFromThePageNamed) {
  const std::string image = ImageWithFile("card.bin", "x");
  const std::string four = scratch_.File("four.dcm");
  ASSERT_EQ(Run({"new-image", four, "--pages", "4"}), 0);
  EXPECT_EQ(Run({"--image", image, "restore", four}), 1);
  EXPECT_EQ(err_.str(), four +
                            " holds four pages; add --from-page N (1 to 4) to say which one to "
                            "restore.\n");
}

TEST_F(CommandLine, WhatIsNoPageIsRestoredOnlyWithForce) {
  const std::string image = ImageWithFile("card.bin", "x"), noise = NoiseFile(scratch_);
  const auto before = ReadBytes(image);
  EXPECT_EQ(Run({"--image", image, "--no-safety-copy", "restore", noise}), 1);
  EXPECT_EQ(err_.str(), noise +
                            " holds no formatted memory card page; add --force to write it "
                            "to the page anyway.\n");
  EXPECT_EQ(ReadBytes(image), before);
  ASSERT_EQ(Run({"--image", image, "--no-safety-copy", "restore", noise, "--force"}), 0);
  EXPECT_EQ(err_.str(), "The page was restored from " + noise + ".\n");
  EXPECT_NE(ReadBytes(image), before);
}

TEST_F(CommandLine, ASafetyCopyWithNowhereToGoStopsTheRestoreFirst) {
  const std::string image = ImageWithFile("card.bin", "x"), noise = NoiseFile(scratch_);
  const auto before = ReadBytes(image);
  environment_.safetyCopies.clear();  // no data folder
  EXPECT_EQ(Run({"--image", image, "restore", noise, "--force"}), 1);
  EXPECT_THAT(err_.str(), StartsWith("No safety copy of the page can be saved"));
  EXPECT_EQ(ReadBytes(image), before);
}

TEST_F(CommandLine, APageBacksUpAndRestoresOverAnotherPage) {
  const std::string target = FourPagesWithAFileOnPage3();
  const std::string backup = scratch_.File("page3.dcm");
  ASSERT_EQ(Run({"--image", target, "--page", "3", "backup", backup}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", target, "--page", "2", "restore", backup}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", target, "--page", "2", "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("SAVEGAME.001"));
  const auto image = ReadBytes(target);
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 131072, image.begin() + 2 * 131072),
            ReadBytes(backup));
}

TEST_F(CommandLine, OnePageOfAnImageRestoresWholeOntoAnother) {
  const std::string target = FourPagesWithAFileOnPage3();
  const std::string one = ImageWithFile("one.vmu", "x");
  ASSERT_EQ(Run({"--image", one, "restore", target, "--from-page", "3"}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", one, "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("\n0\tSAVEGAME.001\tMoved\t"));
}

TEST_F(CommandLine, PagesTheImageLacksAreRefusedBeforeTheCard) {
  const std::string one = ImageWithFile("one.bin", "x");
  const std::string dcm = scratch_.File("page.dcm");
  ASSERT_EQ(Run({"--image", one, "backup", dcm}), 0) << err_.str();
  const auto before = ReadBytes(one);
  const std::vector<std::vector<std::string>> refused = {
      {"--page", "2", "backup", scratch_.File("never.dcm")},
      {"--page", "2", "restore", dcm},
      {"page", "4"},
  };
  for (const auto& command : refused) {
    std::vector<std::string> arguments = {"--image", one};
    arguments.insert(arguments.end(), command.begin(), command.end());
    EXPECT_EQ(Run(arguments), 1) << ::testing::PrintToString(command);
    EXPECT_EQ(err_.str(), "This card image holds one page.\n");
  }
  EXPECT_EQ(ReadBytes(one), before);
  EXPECT_FALSE(std::filesystem::exists(scratch_.File("never.dcm")));
}
