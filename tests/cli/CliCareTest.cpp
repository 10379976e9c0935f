#include "CliFixture.h"

#include "DciFile.h"

using ::testing::HasSubstr;

TEST_F(CommandLine, CheckRepairsAChecksumOnlyWhenAskedTo) {
  const std::string image = ImageWithFile("card.vmu", "First");
  auto before = ReadBytes(image);
  before[199 * 512 + 0x46] = 0x34;  // a checksum its bytes do not give
  WriteBytes(image, before);
  EXPECT_EQ(Run({"--image", image, "check"}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("\"SAVEGAME.001\": its header checksum is 0x0034"));
  EXPECT_EQ(Run({"--image", image, "check", "--repair"}), 1);  // checksums only when asked to
  EXPECT_EQ(ReadBytes(image), before);
  EXPECT_EQ(Run({"--image", image, "check", "--fix-checksums"}), 2);  // only with --repair
  ASSERT_EQ(Run({"--image", image, "--no-safety-copy", "check", "--repair", "--fix-checksums"}), 0)
      << err_.str();
  EXPECT_EQ(Run({"--image", image, "check"}), 0) << err_.str();
}

TEST_F(CommandLine, DeleteNeedsYesAndKeepsNoSafetyCopy) {
  const std::string image = ImageWithFile("card.vmu", "First");
  const auto before = ReadBytes(image);
  EXPECT_EQ(Run({"--image", image, "delete", "0"}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("Add --yes"));
  EXPECT_EQ(ReadBytes(image), before);
  ASSERT_EQ(Run({"--image", image, "delete", "0", "--yes"}), 0) << err_.str();
  EXPECT_EQ(Run({"--image", image, "check"}), 0) << err_.str();
  EXPECT_FALSE(std::filesystem::exists(environment_.safetyCopies));
}

TEST_F(CommandLine, FormatKeepsASafetyCopyUnlessToldNotTo) {
  const std::string copies = environment_.safetyCopies;
  const std::string image = ImageWithFile("other.vmu", "Second");
  ASSERT_EQ(Run({"--image", image, "--page", "1", "format", "--yes"}), 0) << err_.str();
  EXPECT_THAT(err_.str(), HasSubstr("A safety copy of the page was saved as " + copies));
  ASSERT_EQ(std::distance(std::filesystem::directory_iterator(copies), {}), 1);
  ASSERT_EQ(Run({"--image", image, "--no-safety-copy", "format", "--yes"}), 0);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(copies), {}), 1);
}

// A game needs blocks 0 up: a data file there moves away only with --defrag.
TEST_F(CommandLine, AGameMovesDataAwayOnlyWithDefrag) {
  CPageImage page = CPageImage::Formatted();
  CVmuDirEntry data = MakeEntry(CVmuDirEntry::kData, 1, 2);
  data.SetFileName("DATA        ");
  ASSERT_TRUE(page.PlaceFile(0, data, std::vector<std::uint8_t>(1024).data()));
  const std::string low = scratch_.File("low.bin");
  ASSERT_TRUE(Succeeded(CPageImage::WriteNewFile(low, {page})));
  const std::string game = scratch_.File("game.dci");
  CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kGame, 0, 2);
  entry.SetFileName("GAME        ");
  ASSERT_TRUE(CDciFile::Write(game, entry, std::vector<std::uint8_t>(1024, 7)));
  EXPECT_EQ(Run({"--image", low, "upload", game}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("Add --defrag"));
  EXPECT_EQ(Run({"--image", low, "--no-safety-copy", "upload", "--defrag", game}), 0) << err_.str();
}

// The root counts 200 entries; slot 204 of the directory's 208 holds a file
// all the same. Block 10 is used by no file.
TEST_F(CommandLine, AFileInSlot204IsListedDownloadedKeptByRepairAndDeleted) {
  CPageImage page = CPageImage::Formatted();
  CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, 199, 2);
  entry.SetFileName("FAR         ");
  ASSERT_TRUE(page.PlaceFile(204, entry, std::vector<std::uint8_t>(1024).data()));
  page.SetFatEntry(10, card_format::kFatLastBlock);
  const std::string image = scratch_.File("far.vmu"), dci = scratch_.File("far.dci");
  ASSERT_TRUE(Succeeded(CPageImage::WriteNewFile(image, {page})));
  ASSERT_EQ(Run({"--image", image, "list", "--tsv"}), 0) << err_.str();
  EXPECT_THAT(out_.str(), HasSubstr("204\tFAR"));
  ASSERT_EQ(Run({"--image", image, "download", "204", dci}), 0) << err_.str();
  EXPECT_EQ(ReadBytes(dci).size(), 32u + 1024u);
  ASSERT_EQ(Run({"--image", image, "--no-safety-copy", "check", "--repair"}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", image, "list"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("198 blocks free"));
  ASSERT_EQ(Run({"--image", image, "delete", "204", "--yes"}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", image, "list"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("200 blocks free"));
}
