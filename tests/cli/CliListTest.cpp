#include "CliFixture.h"

#include "FileTable.h"

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

TEST_F(CommandLine, ListShowsTheCardsBytesEscapedForOneLine) {
  const std::string image = ImageWithFile("card.vmu", "Tab\there\\ok");
  ASSERT_EQ(Run({"--image", image, "list", "--tsv"}), 0) << err_.str();
  std::istringstream lines(out_.str());
  std::string header, row, extra;
  std::getline(lines, header);
  std::getline(lines, row);
  EXPECT_FALSE(std::getline(lines, extra));
  EXPECT_THAT(row, StartsWith("0\tSAVEGAME.001\tTab\\there\\\\ok\t\t\t2 Blocks\t"));
  EXPECT_THAT(row, HasSubstr("\tNo\tData"));
}

TEST_F(CommandLine, InfoShowsOneEntryByItsIndex) {
  const std::string image = ImageWithFile("card.vmu", "Tab\there\\ok");
  ASSERT_EQ(Run({"--image", image, "info", "0"}), 0) << err_.str();
  EXPECT_THAT(out_.str(),
              StartsWith("Filename: SAVEGAME.001\nShort Description: Tab\\there\\\\ok\n"));
  EXPECT_THAT(out_.str(), HasSubstr("Type: Data\nSize: 2 Blocks\n"));
  EXPECT_THAT(out_.str(), HasSubstr("Copy Protect: No\n"));

  EXPECT_EQ(Run({"--image", image, "info", "1"}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("no file with directory index 1"));
}

// A name that would retitle the terminal stays text in every output.
TEST_F(CommandLine, ANameWithTerminalControlsStaysTextInEveryOutput) {
  const std::string hostile = ImageWithFile("hostile.bin", "\x1b]0;owned\x07\x9b\x7f");
  const std::string shown = "\\x1b]0;owned\\x07\\x9b\\x7f";
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"list", "--tsv"}, {"list"}, {"info", "0"}}) {
    std::vector<std::string> arguments = {"--image", hostile};
    arguments.insert(arguments.end(), command.begin(), command.end());
    ASSERT_EQ(Run(arguments), 0) << err_.str();
    EXPECT_THAT(out_.str(), HasSubstr(shown)) << command[0];
    EXPECT_EQ(out_.str().find_first_of("\x1b\x07\x7f\x9b"), std::string::npos);
  }
}

// One rule for every card text, whether it comes as UTF-8 or as the card's bytes.
TEST(EscapeText, EveryControlCharacterIsWrittenAsItsCode) {
  EXPECT_EQ(EscapeText("a\tb\nc\rd\\e"), "a\\tb\\nc\\rd\\\\e");
  EXPECT_EQ(EscapeText(std::string("\0\x01\x1f\x7f", 4)), "\\x00\\x01\\x1f\\x7f");
  EXPECT_EQ(EscapeText("\x80\x9f\xa0\xe9"), "\\x80\\x9f\xa0\xe9");  // bytes: C1 escaped
  EXPECT_EQ(EscapeText("\xc2\x9b\xc2\xa0\xc3\xa9\xe3\x81\x82"),
            "\\x9b\xc2\xa0\xc3\xa9\xe3\x81\x82");  // UTF-8: U+009B escaped, the rest kept
}

namespace {

// Half-width katakana padded to 16 bytes, then two kanji in the long description.
class JapaneseText : public CommandLine {
 protected:
  std::string JapaneseImage() {
    return ImageWithFile("jp.bin", "\xd2\xb2\xdd             \x94\xc1\x94\xb5");
  }
};

}  // namespace

TEST_F(JapaneseText, IsWrittenInUtf8OrTheEncodingChosen) {
  const std::string image = JapaneseImage();
  ASSERT_EQ(Run({"--image", image, "list", "--tsv"}), 0) << err_.str();
  EXPECT_THAT(out_.str(),
              HasSubstr("\tSAVEGAME.001\t\uff92\uff72\uff9d             \t\u6591\u9ce9\t"));
  ASSERT_EQ(Run({"--image", image, "--encoding", "latin1", "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("\t\u00d2\u00b2\u00dd             \t\\x94\u00c1\\x94\u00b5\t"));
}

TEST_F(JapaneseText, KeepsTheListsColumnsAligned) {
  const std::string image = JapaneseImage();
  ASSERT_EQ(Run({"--image", image, "list"}), 0) << err_.str();
  std::istringstream lines(out_.str());
  std::string header, row;
  std::getline(lines, header);
  std::getline(lines, row);
  auto column = [](const std::string& line, const std::string& text) {
    return DisplayWidth(line.substr(0, line.find(text)));
  };
  EXPECT_EQ(column(row, "\u6591"), column(header, "Long Description"));
  EXPECT_EQ(column(row, "2 Blocks"), column(header, "Size"));
}

TEST_F(JapaneseText, GoesIntoJsonInUtf8AndAsRawBytes) {
  const std::string image = JapaneseImage();
  ASSERT_EQ(Run({"--image", image, "list", "--json"}), 0) << err_.str();
  EXPECT_THAT(out_.str(), StartsWith("[\n {\"index\": 0, \"filename\": \"SAVEGAME.001\""));
  EXPECT_THAT(out_.str(), HasSubstr("\"longDescription\": \"\u6591\u9ce9\""));
  EXPECT_THAT(out_.str(), HasSubstr("\"raw\": {\"filename\": \"5341564547414d452e303031\", "
                                    "\"shortDescription\": \"d2b2dd20202020202020202020202020\", "
                                    "\"longDescription\": \"94c194b5\""));
  EXPECT_THAT(out_.str(), HasSubstr("\"entry\": \"33"));
}

TEST_F(CommandLine, ListCountsFreeBlocksExceptAsTable) {
  const std::string image = ImageWithFile("card.vmu", "First");
  ASSERT_EQ(Run({"--image", image, "list"}), 0) << err_.str();
  EXPECT_THAT(out_.str(), ::testing::EndsWith("\n198 blocks free\n"));
  ASSERT_EQ(Run({"--image", image, "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), Not(HasSubstr("free")));
}

// A card that stops answering part-way: the rows read so far, then one message.
TEST_F(CommandLine, AListingCutShortPrintsItsRowsThenTheMessage) {
  CPageImage page = CPageImage::Formatted();
  const std::vector<std::uint8_t> block(512, 0);
  for (std::uint16_t slot = 0; slot < 3; ++slot) {
    CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, static_cast<std::uint16_t>(199 - slot), 1);
    entry.SetFileName(("FILE" + std::to_string(slot) + "       ").c_str());
    ASSERT_TRUE(page.PlaceFile(slot, entry, block.data()));
  }
  card_format::ReverseGroups(page.GetData(), card_format::kPageSize);
  std::memcpy(portCard_.GetPage(0), page.GetData(), card_format::kPageSize);
  portCard_.ResetCounters();
  portCard_.Faults().silentAfter = 4;  // root, table, directory, first header
  EXPECT_EQ(Run({"--port", "0x278", "--timeout", "0", "--delay", "0", "list"}), 1);
  EXPECT_THAT(out_.str(), HasSubstr("FILE0"));
  EXPECT_THAT(out_.str(), HasSubstr("FILE1"));
  EXPECT_THAT(out_.str(), Not(HasSubstr("FILE2")));
  EXPECT_THAT(out_.str(), ::testing::EndsWith("\n197 blocks free\n"));
  EXPECT_EQ(err_.str(),
            "Communications timed out.  There may be a communications problem, or "
            "your timeout setting may be too low.\n");
}
