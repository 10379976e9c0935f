#include "CliRunner.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CardConsistency.h"
#include "CardOnSimulator.h"
#include "FileTable.h"
#include "NoPortRoad.h"
#include "ProgramInfo.h"
#include "ResultAssertion.h"
#include "ScratchDirectory.h"
#include "TerminalProgress.h"

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

// Runs korvantis-cli as a test machine would: its own settings file, no real
// port (the chooser hands out a simulated card or nothing), no terminal.
class CommandLine : public ::testing::Test {
 protected:
  CommandLine() {
    environment_.settingsPath = scratch_.File("Korvantis.conf");
    environment_.chooser = [this](std::uint16_t base) {
      askedPorts_.push_back(base);
      if (base == 0x278) return PortRoadChoice{std::make_unique<CSimulatedPortRoad>(portCard_), ""};
      return PortRoadChoice{std::make_unique<CNoPortRoad>(), "No parallel port has that address."};
    };
  }

  int Run(const std::vector<std::string>& arguments) {
    out_.str("");
    err_.str("");
    return RunCli(arguments, environment_, out_, err_);
  }

  // A one-page image in storage order with one data file in slot 0.
  std::string ImageWithFile(const std::string& name, const char* shortDescription) {
    CPageImage page = CPageImage::Formatted();
    CVmuDirEntry entry = MakeEntry(0x33, 199, 2);
    entry.SetFileName("SAVEGAME.001");
    std::vector<std::uint8_t> blocks(2 * 512, 0);
    std::memcpy(blocks.data(), shortDescription, std::strlen(shortDescription));
    EXPECT_TRUE(page.PlaceFile(0, entry, blocks.data()));
    EXPECT_TRUE(Succeeded(CPageImage::WriteNewFile(scratch_.File(name), {page})));
    return scratch_.File(name);
  }

  void WriteSettings(const std::string& text) { std::ofstream(environment_.settingsPath) << text; }

  CScratchDirectory scratch_;
  CSimulatedCard portCard_;
  CliEnvironment environment_;
  std::vector<std::uint16_t> askedPorts_;
  std::ostringstream out_, err_;
};

// A character device that fails every write for want of space. Root makes its
// own in the scratch folder, so that no real device is ever at stake; anyone
// else uses /dev/full, which only root could remove.
std::string FullDevice(const CScratchDirectory& scratch) {
  if (::geteuid() != 0) return std::filesystem::is_character_file("/dev/full") ? "/dev/full" : "";
  const std::string own = scratch.File("full");
  if (::mknod(own.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) return "";
  const int fd = ::open(own.c_str(), O_WRONLY);  // a folder mounted nodev opens no device
  if (fd < 0) return "";
  ::close(fd);
  return own;
}

}  // namespace

TEST_F(CommandLine, WrongCommandLinesGiveUsageAndStatusTwo) {
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"frobnicate"},
      {"--page", "5", "list"},
      {"page", "0"},
      {"--image", "a.bin", "--port", "0x378", "list"},
      {"--port", "0x1FFFF", "list"},
      {"--port", "LPT1", "list"},
      {"new-image", "x.bin", "--pages", "2"},
      {"download", "3"},
  };
  for (const auto& arguments : wrong) {
    EXPECT_EQ(Run(arguments), 2) << ::testing::PrintToString(arguments);
    EXPECT_FALSE(err_.str().empty());
  }
  EXPECT_TRUE(askedPorts_.empty());

  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr(program::kVersionText));
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("new-image"));
}

TEST_F(CommandLine, NewImagesAreFormattedAndNeverOverwriteAFile) {
  const std::string bin = scratch_.File("new.bin");
  ASSERT_EQ(Run({"new-image", bin}), 0) << err_.str();
  EXPECT_EQ(std::filesystem::file_size(bin), 131072u);
  ASSERT_EQ(Run({"--image", bin, "list", "--tsv"}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "Index\tFilename\tShort Description\tLong Description\tApplication\tSize\tDate\tTime\t"
            "Copy Protected\tType\n");
  ASSERT_EQ(Run({"--image", bin, "list"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("No files."));

  const auto before = ReadBytes(bin);
  EXPECT_EQ(Run({"new-image", bin}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("already exists"));
  EXPECT_EQ(ReadBytes(bin), before);
}

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

  ASSERT_EQ(Run({"--image", image, "info", "0"}), 0) << err_.str();
  EXPECT_THAT(out_.str(),
              StartsWith("Filename: SAVEGAME.001\nShort Description: Tab\\there\\\\ok\n"));
  EXPECT_THAT(out_.str(), HasSubstr("Type: Data\nSize: 2 Blocks\n"));
  EXPECT_THAT(out_.str(), HasSubstr("Copy Protect: No\n"));

  EXPECT_EQ(Run({"--image", image, "info", "1"}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("no file with directory index 1"));
  EXPECT_EQ(Run({"--image", image, "info", "999"}), 1);
}

TEST_F(CommandLine, JapaneseTextIsWrittenInUtf8AlignedAndRawInJson) {
  // Half-width katakana padded to 16 bytes, then two kanji in the long description.
  const std::string image = ImageWithFile("jp.bin", "\xd2\xb2\xdd             \x94\xc1\x94\xb5");
  ASSERT_EQ(Run({"--image", image, "list", "--tsv"}), 0) << err_.str();
  EXPECT_THAT(out_.str(),
              HasSubstr("\tSAVEGAME.001\t\uff92\uff72\uff9d             \t\u6591\u9ce9\t"));
  ASSERT_EQ(Run({"--image", image, "--encoding", "latin1", "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("\t\u00d2\u00b2\u00dd             \t\\x94\u00c1\\x94\u00b5\t"));

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

  ASSERT_EQ(Run({"--image", image, "list", "--json"}), 0) << err_.str();
  EXPECT_THAT(out_.str(), StartsWith("[\n {\"index\": 0, \"filename\": \"SAVEGAME.001\""));
  EXPECT_THAT(out_.str(), HasSubstr("\"longDescription\": \"\u6591\u9ce9\""));
  EXPECT_THAT(out_.str(), HasSubstr("\"raw\": {\"filename\": \"5341564547414d452e303031\", "
                                    "\"shortDescription\": \"d2b2dd20202020202020202020202020\", "
                                    "\"longDescription\": \"94c194b5\""));
  EXPECT_THAT(out_.str(), HasSubstr("\"entry\": \"33"));
}

TEST_F(CommandLine, WholePagesTravelAsVmsPairsAndIconsExport) {
  const std::string source = ImageWithFile("source.bin", "Moved");
  const std::string folder = scratch_.File("out");
  std::filesystem::create_directory(folder);
  ASSERT_EQ(Run({"--image", source, "download", "--all", folder, "--format", "vms"}), 0)
      << err_.str();
  const std::string vmi = folder + "/SAVEGAME.001.vmi";
  ASSERT_TRUE(std::filesystem::exists(vmi));
  EXPECT_EQ(Run({"--image", source, "download", "0"}), 2);
  EXPECT_EQ(Run({"--image", source, "download", "--all", scratch_.File("none")}), 1);

  const std::string target = scratch_.File("target.bin");
  ASSERT_EQ(Run({"new-image", target}), 0);
  ASSERT_EQ(Run({"--image", target, "upload", vmi, folder + "/SAVEGAME.001.vms"}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", target, "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("\n0\tSAVEGAME.001\tMoved\t"));

  // The test file's header gives no icon frames.
  EXPECT_EQ(Run({"--image", target, "export-icon", "0", scratch_.File("icon.png")}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("no icon"));
}

TEST_F(CommandLine, FilesAndPagesTravelBetweenImages) {
  const std::string source = ImageWithFile("source.bin", "Moved");
  const std::string dci = scratch_.File("file.dci");
  ASSERT_EQ(Run({"--image", source, "download", "0", dci}), 0) << err_.str();
  EXPECT_EQ(std::filesystem::file_size(dci), 32u + 2 * 512);

  // An existing file is kept unless --force.
  EXPECT_EQ(Run({"--image", source, "download", "0", dci}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("--force"));
  EXPECT_EQ(Run({"--image", source, "download", "0", dci, "--force"}), 0) << err_.str();

  // Upload to page 3 of a four-page image: only page 3 shows the file.
  const std::string target = scratch_.File("target.dcm");
  ASSERT_EQ(Run({"new-image", target, "--pages", "4"}), 0);
  ASSERT_EQ(Run({"--image", target, "--page", "3", "upload", dci}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", target, "--page", "3", "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("\n0\tSAVEGAME.001\tMoved\t"));
  ASSERT_EQ(Run({"--image", target, "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), Not(HasSubstr("SAVEGAME")));

  // A page backed up and restored over another page of the image.
  const std::string backup = scratch_.File("page3.dcm");
  ASSERT_EQ(Run({"--image", target, "--page", "3", "backup", backup}), 0) << err_.str();
  EXPECT_EQ(std::filesystem::file_size(backup), 131072u);
  ASSERT_EQ(Run({"--image", target, "--page", "2", "restore", backup}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", target, "--page", "2", "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("SAVEGAME.001"));
  const auto image = ReadBytes(target);
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 131072, image.begin() + 2 * 131072),
            ReadBytes(backup));
}

TEST_F(CommandLine, DownloadAndBackupOntoAFullDeviceLeaveItInPlace) {
  const std::string device = FullDevice(scratch_);
  if (device.empty()) GTEST_SKIP() << "no device here that fails writes";
  const std::string image = ImageWithFile("card.bin", "x");
  for (const auto& command : {std::vector<std::string>{"download", "0"}, {"backup"}}) {
    std::vector<std::string> arguments = {"--image", image};
    arguments.insert(arguments.end(), command.begin(), command.end());
    arguments.insert(arguments.end(), {device, "--force"});
    EXPECT_EQ(Run(arguments), 1) << command[0];
    EXPECT_EQ(err_.str(),
              "File could not be created, or could not be written to. (No space left on "
              "device)\n");
    EXPECT_TRUE(std::filesystem::is_character_file(device)) << command[0];
  }
}

TEST_F(CommandLine, CtrlCCancelsAtTheNextPollAndSavesNothing) {
  const std::string image = ImageWithFile("card.bin", "x");
  const std::string backup = scratch_.File("never.dcm");
  CTerminalProgress::RequestCancel();
  EXPECT_EQ(Run({"--image", image, "backup", backup}), 130);
  EXPECT_FALSE(std::filesystem::exists(backup));
  EXPECT_EQ(err_.str(), "");
  EXPECT_EQ(Run({"--image", image, "backup", backup}), 0);  // the request was used up
}

TEST_F(CommandLine, StoredSettingsChooseThePortUnlessTheCommandLineDoes) {
  // Nothing stored: LPT1, which this machine lacks; the reason is told once.
  EXPECT_EQ(Run({"--timeout", "0", "list"}), 1);
  EXPECT_EQ(askedPorts_.back(), 0x378);
  EXPECT_THAT(err_.str(), HasSubstr("No parallel port has that address."));
  EXPECT_THAT(err_.str(), HasSubstr("Communications timed out."));

  WriteSettings("[General]\nPort=1\n\n[Communications]\nDelayFactor=0\nPort=632\nTimeout=1\n");
  askedPorts_.clear();
  EXPECT_EQ(Run({"page", "4"}), 0) << err_.str();
  EXPECT_EQ(askedPorts_.back(), 0x278);
  EXPECT_EQ(portCard_.GetSelectedPage(), 3u);
  EXPECT_EQ(err_.str(), "");

  EXPECT_EQ(Run({"--port", "0x3BC", "--timeout", "0", "page", "1"}), 1);
  EXPECT_EQ(askedPorts_.back(), 0x3BC);

  // A stored port that is no port address opens no road at all.
  WriteSettings("[Communications]\nPort=70000\nTimeout=0\n");
  askedPorts_.clear();
  EXPECT_EQ(Run({"list"}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("70000 is not a port address"));
  EXPECT_THAT(askedPorts_, ::testing::Not(::testing::Contains(70000 & 0xFFFF)));
}

TEST_F(CommandLine, TraceRecordsTheWire) {
  const std::string image = ImageWithFile("card.bin", "x");
  const std::string trace = scratch_.File("wire.txt");
  ASSERT_EQ(Run({"--image", image, "--trace", trace, "page", "3"}), 0) << err_.str();
  std::ifstream in(trace);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "W 0 01");
  EXPECT_EQ(Run({"--image", image, "--trace", scratch_.File("no/such/dir/t.txt"), "list"}), 1);
}

TEST_F(CommandLine, EveryRealImageListsOrIsRefusedClearly) {
  const std::filesystem::path folder = std::filesystem::path(KORVANTIS_REALDATA_DIR) / "images";
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no real card images at " << folder;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    const std::string copy = scratch_.File(file.path().filename().string());
    std::filesystem::copy_file(file.path(), copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);  // the card writes it
    const int status = Run({"--image", copy, "list", "--tsv"});
    if (file.path().filename() == "truncated.vmu") {
      EXPECT_EQ(status, 1);
      EXPECT_THAT(err_.str(), HasSubstr("truncated.vmu"));
    } else {
      EXPECT_EQ(status, 0) << copy << ": " << err_.str();
      EXPECT_THAT(out_.str(), StartsWith("Index\tFilename"));
    }
  }
}

TEST_F(CommandLine, ListCountsFreeBlocksAndUploadReplacesOnlyWithReplace) {
  const std::string image = ImageWithFile("card.vmu", "First");
  ASSERT_EQ(Run({"--image", image, "list"}), 0) << err_.str();
  EXPECT_THAT(out_.str(), ::testing::EndsWith("\n198 blocks free\n"));
  ASSERT_EQ(Run({"--image", image, "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), Not(HasSubstr("free")));

  const std::string dci = scratch_.File("same.dci");
  ASSERT_EQ(Run({"--image", image, "download", "0", dci}), 0) << err_.str();
  const auto before = ReadBytes(image);
  EXPECT_EQ(Run({"--image", image, "upload", dci}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("already a file named \"SAVEGAME.001\""));
  EXPECT_THAT(err_.str(), HasSubstr("Add --replace"));
  EXPECT_EQ(ReadBytes(image), before);
  ASSERT_EQ(Run({"--image", image, "upload", "--replace", dci}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", image, "list"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("\n0      SAVEGAME.001  First"));
  EXPECT_THAT(out_.str(), Not(HasSubstr("\n1 ")));
  CPageImage card;
  const auto bytes = ReadBytes(image);
  std::copy(bytes.begin(), bytes.end(), card.GetData());
  EXPECT_EQ(ConsistencyProblems(card), std::vector<std::string>{});
  EXPECT_THAT(out_.str(), ::testing::EndsWith("\n198 blocks free\n"));
}

// A card that stops answering part-way: the rows read so far, then one message.
TEST_F(CommandLine, AListingCutShortPrintsItsRowsThenTheMessage) {
  CPageImage page = CPageImage::Formatted();
  const std::vector<std::uint8_t> block(512, 0);
  for (std::uint16_t slot = 0; slot < 3; ++slot) {
    CVmuDirEntry entry = MakeEntry(0x33, static_cast<std::uint16_t>(199 - slot), 1);
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
