#include "CliFixture.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

// A file that is no page a card can use is written only with --force, and
// a safety copy that has nowhere to go stops the command first.
TEST_F(CommandLine, RestoreWritesWhatIsNoPageOnlyWithForce) {
  const std::string image = ImageWithFile("card.bin", "x");
  const auto before = ReadBytes(image);
  const std::string four = scratch_.File("four.dcm");
  ASSERT_EQ(Run({"new-image", four, "--pages", "4"}), 0);
  EXPECT_EQ(Run({"--image", image, "restore", four}), 1);
  EXPECT_EQ(err_.str(), four +
                            " holds four pages; add --from-page N (1 to 4) to say which one to "
                            "restore.\n");

  const std::string noise = scratch_.File("noise.dcm");
  const CPageImage page = NoisePage(9);
  WriteBytes(noise, std::vector<std::uint8_t>(page.GetData(), page.GetData() + 131072));
  EXPECT_EQ(Run({"--image", image, "--no-safety-copy", "restore", noise}), 1);
  EXPECT_EQ(err_.str(), noise +
                            " holds no formatted memory card page; add --force to write it "
                            "to the page anyway.\n");
  EXPECT_EQ(ReadBytes(image), before);

  environment_.safetyCopies.clear();  // no data folder
  EXPECT_EQ(Run({"--image", image, "restore", noise, "--force"}), 1);
  EXPECT_THAT(err_.str(), StartsWith("No safety copy of the page can be saved"));
  EXPECT_EQ(ReadBytes(image), before);
  ASSERT_EQ(Run({"--image", image, "--no-safety-copy", "restore", noise, "--force"}), 0);
  EXPECT_EQ(err_.str(), "The page was restored from " + noise + ".\n");
  EXPECT_NE(ReadBytes(image), before);
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
