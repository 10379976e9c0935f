#include "CliRunner.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "DciFile.h"
#include "FileTable.h"
#include "Messages.h"
#include "NoPortRoad.h"
#include "ProgramInfo.h"
#include "ResultAssertion.h"
#include "ScratchDirectory.h"
#include "StatusCodes.h"
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
    environment_.safetyCopies = scratch_.File("copies");
    environment_.chooser = [this](std::uint16_t base) {
      askedPorts_.push_back(base);
      if (base == 0x278)
        return PortRoadChoice{std::make_unique<CSimulatedPortRoad>(portCard_), Result()};
      return PortRoadChoice{std::make_unique<CNoPortRoad>(),
                            Result::Failure("No parallel port has that address.")};
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
    CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, 199, 2);
    entry.SetFileName("SAVEGAME.001");
    std::vector<std::uint8_t> blocks(2 * 512, 0);
    std::memcpy(blocks.data(), shortDescription, std::strlen(shortDescription));
    EXPECT_TRUE(page.PlaceFile(0, entry, blocks.data()));
    EXPECT_TRUE(Succeeded(CPageImage::WriteNewFile(scratch_.File(name), {page})));
    return scratch_.File(name);
  }

  void WriteSettings(const std::string& text) { std::ofstream(environment_.settingsPath) << text; }

  // korvantis-cli in a child process, so that it can hold an image's lock, or
  // hang, apart from the test; it is killed after ten seconds.
  struct Child {
    pid_t pid;
    int err;  // reads what it wrote to standard error
  };
  Child Start(const std::vector<std::string>& arguments) {
    int err[2];
    EXPECT_EQ(::pipe(err), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(err[0]);
      ::alarm(10);
      err_.str("");  // what the last child said may be longer than this one's words
      const int status = RunCli(arguments, environment_, out_, err_);
      const std::string said = err_.str();
      [[maybe_unused]] const auto written = ::write(err[1], said.data(), said.size());
      ::_exit(status);
    }
    ::close(err[1]);
    return Child{pid, err[0]};
  }
  // Its exit status, or -1 when it had to be killed; err_ gets what it said.
  int Finish(const Child& child) {
    std::string said;
    char buffer[512];
    for (long got; (got = ::read(child.err, buffer, sizeof buffer)) > 0;)
      said.append(buffer, static_cast<std::size_t>(got));
    ::close(child.err);
    int status = 0;
    ::waitpid(child.pid, &status, 0);
    err_.str(said);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

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

// The system calls of the card image: writes paused once until the test lets
// them go on; every write and sync noted.
int pausedReady = -1, pausedGo = -1;
long PausingWrite(int fd, const void* bytes, std::size_t size) {
  if (pausedReady >= 0) {
    char signal = 1;
    [[maybe_unused]] const auto told = ::write(pausedReady, &signal, 1);
    [[maybe_unused]] const auto heard = ::read(pausedGo, &signal, 1);
    pausedReady = -1;
  }
  return RealFileCalls().write(fd, bytes, size);
}

std::vector<std::string> imageCalls;
long NotedWrite(int fd, const void* bytes, std::size_t size) {
  imageCalls.push_back("write");
  return RealFileCalls().write(fd, bytes, size);
}
int NotedSync(int fd) {
  imageCalls.push_back("sync");
  return RealFileCalls().dataSync(fd);
}
int FailedSync(int) {
  errno = EIO;
  return -1;
}
long FullWrite(int, const void*, std::size_t) {
  errno = ENOSPC;
  return -1;
}

// A terminal on which every answer is "y", typed once whileAsked has run.
struct CAnsweringTerminal : std::streambuf {
  std::function<void()> whileAsked;
  char yes[3] = "y\n";
  int_type underflow() override {
    if (whileAsked) std::exchange(whileAsked, nullptr)();
    setg(yes, yes, yes + 2);
    return 'y';
  }
};

}  // namespace

TEST_F(CommandLine, WrongCommandLinesGiveUsageAndStatusTwo) {
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"frobnicate"},
      {"--page", "5", "list"},
      {"page", "0"},
      {"--image", "a.bin", "--port", "0x378", "list"},
      {"new-image", "x.bin", "--pages", "2"},
      {"download", "3"},
      {"--image", "", "list"},
      {"--trace", "", "list"},
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
  EXPECT_EQ(Run({"new-image", bin}), 1);
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

  // A name that would retitle the terminal stays text in every output.
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

TEST_F(CommandLine, WholePagesDownloadAsVmsPairsAndIconsExport) {
  const std::string source = ImageWithFile("source.bin", "Moved");
  const std::string folder = scratch_.File("out");
  std::filesystem::create_directory(folder);
  ASSERT_EQ(Run({"--image", source, "download", "--all", folder, "--format", "vms"}), 0)
      << err_.str();
  const std::string vmi = folder + "/SAVEGAME.001.vmi";
  ASSERT_TRUE(std::filesystem::exists(vmi));
  EXPECT_EQ(Run({"--image", source, "download", "--all", scratch_.File("none")}), 1);

  // The test file's header gives no icon frames.
  EXPECT_EQ(Run({"--image", source, "export-icon", "0", scratch_.File("icon.png")}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("no icon"));
}

TEST_F(CommandLine, FilesAndPagesTravelBetweenImages) {
  const std::string source = ImageWithFile("source.bin", "Moved");
  const std::string dci = scratch_.File("file.dci");
  ASSERT_EQ(Run({"--image", source, "download", "0", dci}), 0) << err_.str();

  // An existing file is kept unless --force.
  EXPECT_EQ(Run({"--image", source, "download", "0", dci}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("--force"));
  EXPECT_EQ(Run({"--image", source, "download", "0", dci, "--force"}), 0) << err_.str();

  // A VMS whose VMI cannot be written stays as it was.
  const std::string vms = scratch_.File("pair.vms");
  WriteBytes(vms, {'o', 'l', 'd'});
  std::filesystem::create_directory(scratch_.File("pair.vmi"));
  EXPECT_EQ(Run({"--image", source, "download", "0", vms, "--force"}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("(Is a directory)"));
  EXPECT_EQ(ReadBytes(vms), (std::vector<std::uint8_t>{'o', 'l', 'd'}));

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
  ASSERT_EQ(Run({"--image", target, "--page", "2", "restore", backup}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", target, "--page", "2", "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("SAVEGAME.001"));
  const auto image = ReadBytes(target);
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 131072, image.begin() + 2 * 131072),
            ReadBytes(backup));

  // Page 3 of the four-page image, restored whole onto a one-page image.
  const std::string one = ImageWithFile("one.vmu", "x");
  ASSERT_EQ(Run({"--image", one, "restore", target, "--from-page", "3"}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", one, "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("\n0\tSAVEGAME.001\tMoved\t"));
}

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

  // The port named on the command line is the only one claimed.
  askedPorts_.clear();
  EXPECT_EQ(Run({"--port", "0x3BC", "--timeout", "4294", "page", "1"}), 1);
  EXPECT_EQ(askedPorts_, std::vector<std::uint16_t>{0x3BC});

  // A stored port that is no port address opens no road at all.
  WriteSettings("[Communications]\nPort=70000\nTimeout=0\n");
  askedPorts_.clear();
  EXPECT_EQ(Run({"list"}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("70000 is not a port address"));
  EXPECT_THAT(askedPorts_, ::testing::Not(::testing::Contains(70000 & 0xFFFF)));
}

TEST_F(CommandLine, TraceRecordsTheWire) {
  const std::string image = ImageWithFile("card.dcm", "x");
  const std::string trace = scratch_.File("wire.txt");
  ASSERT_EQ(Run({"--image", image, "--trace", trace, "page", "1"}), 0) << err_.str();
  auto firstLine = [&trace] {
    std::ifstream in(trace);
    std::string first;
    std::getline(in, first);
    return first;
  };
  EXPECT_EQ(firstLine(), "W 0 01");

  // An existing trace is kept unless --force, given before or after the command.
  WriteBytes(trace, {'k', 'e', 'p', 't'});
  EXPECT_EQ(Run({"--image", image, "--trace", trace, "list"}), 1);
  EXPECT_EQ(err_.str(), trace + " already exists; add --force to replace it.\n");
  EXPECT_EQ(ReadBytes(trace), (std::vector<std::uint8_t>{'k', 'e', 'p', 't'}));
  ASSERT_EQ(Run({"--image", image, "--trace", trace, "--force", "list"}), 0) << err_.str();
  EXPECT_EQ(firstLine(), "W 0 01");

  // A trace that cannot be written fails the command that it traced.
  const std::string device = FullDevice(scratch_);
  if (device.empty()) GTEST_SKIP() << "no device here that fails writes";
  EXPECT_EQ(Run({"--image", image, "--trace", device, "--force", "page", "1"}), 1);
  EXPECT_EQ(err_.str(),
            "The trace file " + device + " could not be written: No space left on device.\n");
}

// Outputs never clobber inputs: nothing is saved over the card image, by any
// name, and a link to nothing counts as a file that is there.
TEST_F(CommandLine, OutputsThatAreTheImageOrTakenAreRefusedBeforeTheCard) {
  const std::string image = ImageWithFile("card.bin", "x");
  const auto before = ReadBytes(image);
  const std::string alias = scratch_.File("alias.dcm"), hard = scratch_.File("hard.dcm");
  std::filesystem::create_symlink(image, alias);
  std::filesystem::create_hard_link(image, hard);
  const std::vector<std::vector<std::string>> clobbering = {
      {"--trace", image, "--force", "page", "1"},
      {"backup", image, "--force"},
      {"backup", alias, "--force"},
      {"backup", hard, "--force"},
      {"--trace", alias, "--force", "download", "0", scratch_.File("new.dci")},
  };
  for (const auto& command : clobbering) {
    std::vector<std::string> arguments = {"--image", image};
    arguments.insert(arguments.end(), command.begin(), command.end());
    EXPECT_EQ(Run(arguments), 1) << ::testing::PrintToString(command);
    EXPECT_THAT(err_.str(), HasSubstr(" is the card image itself; choose another file.\n"));
  }
  EXPECT_EQ(ReadBytes(image), before);
  EXPECT_FALSE(std::filesystem::exists(scratch_.File("new.dci")));

  const std::string dangling = scratch_.File("dangling.dci");
  std::filesystem::create_symlink(scratch_.File("nowhere.dci"), dangling);
  EXPECT_EQ(Run({"--image", image, "download", "0", dangling}), 1);
  EXPECT_EQ(err_.str(), dangling + " already exists; add --force to replace it.\n");
  EXPECT_EQ(Run({"--image", image, "download", "0", ""}), 1);
  EXPECT_EQ(err_.str(), "The file name is empty; it names no file.\n");
  EXPECT_FALSE(std::filesystem::exists(scratch_.File("nowhere.dci")));
}

// Four card files whose names make one file name, but for letter case and
// the blank one; each file's DCI is its entry, then its block with every group
// of four bytes reversed.
TEST_F(CommandLine, DownloadAllNamesEveryFileApartAndFailsNamingWhatItSkipped) {
  CPageImage page = CPageImage::Formatted();
  const char* names[] = {"SAVE A      ", "SAVE_A      ", "Save/A      ", "            "};
  const std::string stems[] = {"SAVE_A.dci", "SAVE_A-2.dci", "Save_A-3.dci", "slot-03.dci"};
  std::vector<std::vector<std::uint8_t>> dcis;
  for (std::uint16_t slot = 0; slot < 4; ++slot) {
    CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, static_cast<std::uint16_t>(199 - slot), 1);
    entry.SetFileName(names[slot]);
    std::vector<std::uint8_t> block(512),
        dci(entry.GetData(), entry.GetData() + CVmuDirEntry::kLength);
    for (std::size_t i = 0; i < 512; ++i)
      block[i] = static_cast<std::uint8_t>(i * 7 + slot);
    for (std::size_t i = 0; i < 512; ++i)
      dci.push_back(block[i ^ 3]);
    ASSERT_TRUE(page.PlaceFile(slot, entry, block.data()));
    dcis.push_back(dci);
  }
  const std::string image = scratch_.File("card.bin"), out = scratch_.File("out");
  ASSERT_TRUE(Succeeded(CPageImage::WriteNewFile(image, {page})));
  std::filesystem::create_directory(out);
  ASSERT_EQ(Run({"--image", image, "download", "--all", out}), 0) << err_.str();
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 4);
  for (std::size_t k = 0; k < 4; ++k)
    EXPECT_EQ(ReadBytes(out + "/" + stems[k]), dcis[k]) << stems[k];

  // In the way: a file kept, a folder, links onto the image and the trace.
  const auto before = ReadBytes(image);
  const std::string in = scratch_.File("in") + "/", trace = scratch_.File("wire.txt");
  std::filesystem::create_directories(in + stems[1]);
  WriteBytes(in + stems[0], {'o', 'l', 'd'});
  std::filesystem::create_symlink(image, in + stems[3]);
  ASSERT_EQ(Run({"--image", image, "download", "--all", in}), 1);
  EXPECT_EQ(err_.str(), in + stems[0] + " already exists and was kept; its card file was not " +
                            "downloaded.\n" + in + stems[1] +
                            " is a folder, a device, a pipe or a link to nothing; its card file " +
                            "was not downloaded.\n" + in + stems[3] +
                            " leads to the card image or the trace file in use; its card file " +
                            "was not downloaded.\nAdd --force to replace the files that were " +
                            "kept.\n");
  EXPECT_EQ(ReadBytes(in + stems[0]), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(ReadBytes(in + stems[2]), dcis[2]);

  std::filesystem::remove(in + stems[2]);
  std::filesystem::create_symlink(trace, in + stems[2]);
  ASSERT_EQ(Run({"--image", image, "--trace", trace, "--force", "download", "--all", in}), 1);
  EXPECT_THAT(err_.str(), HasSubstr(in + stems[2] + " leads to the card image or the trace"));
  EXPECT_EQ(ReadBytes(in + stems[0]), dcis[0]);
  EXPECT_EQ(ReadBytes(image), before);
  EXPECT_TRUE(std::filesystem::is_symlink(in + stems[3]));
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

TEST_F(CommandLine, AChangedImageReachesTheDiskBeforeSuccess) {
  const std::string image = ImageWithFile("card.vmu", "x");
  const std::string dci = scratch_.File("file.dci");
  ASSERT_EQ(Run({"--image", image, "download", "0", dci}), 0);
  environment_.imageCalls.write = NotedWrite;
  environment_.imageCalls.dataSync = NotedSync;
  imageCalls.clear();
  ASSERT_EQ(Run({"--image", image, "list"}), 0);
  EXPECT_TRUE(imageCalls.empty());
  ASSERT_EQ(Run({"--image", image, "upload", "--replace", dci}), 0) << err_.str();
  ASSERT_GT(imageCalls.size(), 1u);
  EXPECT_EQ(imageCalls.back(), "sync");
  EXPECT_EQ(std::count(imageCalls.begin(), imageCalls.end(), "sync"), 1);

  environment_.imageCalls.dataSync = FailedSync;
  EXPECT_EQ(Run({"--image", image, "upload", "--replace", dci}), 1);
  EXPECT_EQ(err_.str(), image + " could not be saved to the disk: Input/output error.\n");

  // A write the disk refuses ends the command, which says so once.
  environment_.imageCalls = RealFileCalls();
  environment_.imageCalls.write = FullWrite;
  EXPECT_EQ(Run({"--image", image, "upload", "--replace", dci}), 1);
  EXPECT_EQ(err_.str(),
            Fill(message::kNotStored, {image + " could not be written: No space left on device."}) +
                "\n");
}

// A pipe in place of a file would keep a command waiting for a writer that
// never comes; each is refused at once (the child is killed if not).
TEST_F(CommandLine, PipesAreRefusedAsInputsWithoutWaiting) {
  const std::string image = ImageWithFile("card.bin", "x");
  for (const char* name : {"pipe.dcm", "pipe.dci", "pipe.bin", "pipe.conf"})
    ASSERT_EQ(::mkfifo(scratch_.File(name).c_str(), 0600), 0);
  // VMS and VMI files: a pipe beside a good VMI, a folder, links to an endless device.
  const std::string vms = scratch_.File("pipe.vms"), vmi = scratch_.File("pipe.vmi");
  ASSERT_EQ(Run({"--image", image, "download", "0", vms}), 0) << err_.str();
  std::filesystem::remove(vms);
  ASSERT_EQ(::mkfifo(vms.c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(scratch_.File("lone.vmi").c_str(), 0600), 0);
  std::filesystem::create_directory(scratch_.File("folder.vms"));
  std::filesystem::create_symlink("/dev/zero", scratch_.File("zero.vms"));
  std::filesystem::create_symlink("/dev/zero", scratch_.File("zero.vmi"));
  const std::vector<std::vector<std::string>> commands = {
      {"--image", image, "restore", scratch_.File("pipe.dcm")},
      {"--image", image, "upload", scratch_.File("pipe.dci")},
      {"--image", scratch_.File("pipe.bin"), "list"},
      {"--image", image, "upload", vmi},
      {"--image", image, "upload", scratch_.File("lone.vmi")},
      {"--image", image, "upload", scratch_.File("folder.vms")},
      {"--image", image, "upload", scratch_.File("zero.vms")},
  };
  const std::vector<std::string> messages = {
      "File could not be read. (It is a pipe, not a file)\n",
      "File could not be read. (It is a pipe, not a file)\n",
      scratch_.File("pipe.bin") + " cannot be opened: It is a pipe, not a file.\n",
      "The VMS file " + vms + " could not be read: It is a pipe, not a file.\n",
      "The VMI file " + scratch_.File("lone.vmi") +
          " could not be read: It is a pipe, not a file.\n",
      "The VMS file " + scratch_.File("folder.vms") +
          " could not be read: It is a folder, not a file.\n",
      "The VMI file " + scratch_.File("zero.vmi") +
          " could not be read: It is a device, not a file.\n",
  };
  for (std::size_t k = 0; k < commands.size(); ++k) {
    EXPECT_EQ(Finish(Start(commands[k])), 1) << ::testing::PrintToString(commands[k]);
    EXPECT_EQ(err_.str(), messages[k]);
  }
  environment_.settingsPath = scratch_.File("pipe.conf");
  EXPECT_EQ(Finish(Start({"--image", image, "list"})), 1);
  EXPECT_EQ(err_.str(), "The settings file " + environment_.settingsPath +
                            " cannot be read: It is a pipe, not a file.\n");
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
  EXPECT_THAT(err_.str(), HasSubstr("Add --replace"));
  EXPECT_EQ(ReadBytes(image), before);
  EXPECT_EQ(Run({"--image", image, "upload", "--replace", dci}), 0) << err_.str();
}

TEST_F(CommandLine, AReadOnlyImageIsStillListed) {
  const std::string image = ImageWithFile("card.bin", "x");
  environment_.imageCalls = ReadOnlyFileCalls();
  ASSERT_EQ(Run({"--image", image, "list", "--tsv"}), 0) << err_.str();
  EXPECT_THAT(out_.str(), HasSubstr("SAVEGAME.001"));
  EXPECT_EQ(Run({"--image", image, "check", "--repair"}), 1);
  EXPECT_EQ(err_.str(), Fill(message::kImageReadOnly, {image}) + "\n");
}

// The card on the port is swapped while a question is open (its two entries
// change places): the batch commands act only on the files they listed.
TEST_F(CommandLine, BatchCommandsActOnlyOnTheFilesTheyListed) {
  CPageImage listed = CPageImage::Formatted();
  for (std::uint16_t slot : {0, 1}) {
    CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, 199 - slot, 1);
    entry.SetFileName(slot == 0 ? "FIRST       " : "SECOND      ");
    ASSERT_TRUE(listed.PlaceFile(slot, entry, std::vector<std::uint8_t>(512, slot).data()));
  }
  CPageImage swapped = listed;
  std::swap_ranges(EntrySlot(swapped, 0), EntrySlot(swapped, 0) + 32, EntrySlot(swapped, 1));
  std::uint8_t* card = portCard_.GetPage(0);
  auto insert = [card](const CPageImage& page) {
    std::memcpy(card, page.GetData(), card_format::kPageSize);
    card_format::ReverseGroups(card, card_format::kPageSize);
  };
  CAnsweringTerminal answers;
  std::istream terminal(&answers);
  environment_.terminal = &terminal;
  const std::vector<std::uint8_t> kept = {1, 2, 3};
  const std::string folder = scratch_.File("");
  WriteBytes(folder + "FIRST.dci", kept);  // asked about before it is downloaded

  for (const std::string command : {"delete", "download"}) {
    insert(listed);
    answers.whileAsked = [&] { insert(swapped); };
    const bool del = command == "delete";
    EXPECT_EQ(
        Run({"--port", "0x278", "--delay", "0", command, del ? "0" : "--all", del ? "1" : folder}),
        1);
    EXPECT_THAT(err_.str(), HasSubstr(message::kCardChanged.text)) << command;
    card_format::ReverseGroups(card, card_format::kPageSize);
    EXPECT_EQ(std::memcmp(card, swapped.GetData(), card_format::kPageSize), 0) << command;
  }
  EXPECT_EQ(ReadBytes(folder + "FIRST.dci"), kept);
  EXPECT_FALSE(std::filesystem::exists(folder + "SECOND.dci"));
}

namespace {
TEST_F(CommandLine, CheckDeleteAndFormatAnswerByExitStatus) {
  const std::string copies = environment_.safetyCopies;
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

  before = ReadBytes(image);
  EXPECT_EQ(Run({"--image", image, "delete", "0"}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("Add --yes"));
  EXPECT_EQ(ReadBytes(image), before);
  ASSERT_EQ(Run({"--image", image, "delete", "0", "--yes"}), 0) << err_.str();
  EXPECT_EQ(Run({"--image", image, "check"}), 0) << err_.str();
  EXPECT_FALSE(std::filesystem::exists(copies));  // a delete keeps none

  const std::string other = ImageWithFile("other.vmu", "Second");
  ASSERT_EQ(Run({"--image", other, "--page", "1", "format", "--yes"}), 0) << err_.str();
  EXPECT_THAT(err_.str(), HasSubstr("A safety copy of the page was saved as " + copies));
  ASSERT_EQ(std::distance(std::filesystem::directory_iterator(copies), {}), 1);
  ASSERT_EQ(Run({"--image", other, "--no-safety-copy", "format", "--yes"}), 0);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(copies), {}), 1);

  // A game needs blocks 0 up: a data file there moves away only with --defrag.
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

// Two programs writing one image at once: the second is refused while the
// first holds it, and the first finishes whole.
TEST_F(CommandLine, OneImageHasOneWriterAtATime) {
  const std::string first = scratch_.File("first.dci"), second = scratch_.File("second.dci");
  ASSERT_EQ(Run({"--image", ImageWithFile("a.bin", "First"), "download", "0", first}), 0);
  ASSERT_EQ(Run({"--image", ImageWithFile("b.bin", "Second"), "download", "0", second}), 0);
  const std::string target = scratch_.File("target.vmu");
  ASSERT_EQ(Run({"new-image", target}), 0);
  const std::string inUse = "The card image " + target + " is in use by another program.\n";

  int ready[2], go[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(go), 0);
  pausedReady = ready[1];
  pausedGo = go[0];
  environment_.imageCalls.write = PausingWrite;
  const Child writer = Start({"--image", target, "upload", first});
  environment_.imageCalls = RealFileCalls();
  pausedReady = -1;

  // The writer has begun writing the image and waits.
  pollfd started = {ready[0], POLLIN, 0};
  ASSERT_EQ(::poll(&started, 1, 10000), 1);
  EXPECT_EQ(Run({"--image", target, "upload", second}), 1);
  EXPECT_EQ(err_.str(), inUse);
  EXPECT_EQ(Run({"--image", target, "list"}), 1);
  EXPECT_EQ(err_.str(), inUse);
  char signal = 1;
  ASSERT_EQ(::write(go[1], &signal, 1), 1);
  EXPECT_EQ(Finish(writer), 0) << err_.str();
  for (int fd : {ready[0], ready[1], go[0], go[1]})
    ::close(fd);

  ASSERT_EQ(Run({"--image", target, "list", "--tsv"}), 0) << err_.str();
  EXPECT_THAT(out_.str(), HasSubstr("\n0\tSAVEGAME.001\tFirst\t"));
  EXPECT_THAT(out_.str(), Not(HasSubstr("Second")));
  const std::string back = scratch_.File("back.dci");
  ASSERT_EQ(Run({"--image", target, "download", "0", back}), 0) << err_.str();
  EXPECT_EQ(ReadBytes(back), ReadBytes(first));
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

}  // namespace
