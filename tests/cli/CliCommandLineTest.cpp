#include "CliFixture.h"

#include "ProgramInfo.h"
#include "TerminalProgress.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

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
      {"--simulate-wire", "list"},  // only an image goes through the simulated wire
  };
  for (const auto& arguments : wrong) {
    EXPECT_EQ(Run(arguments), 2) << ::testing::PrintToString(arguments);
    EXPECT_FALSE(err_.str().empty());
  }
  EXPECT_TRUE(askedPorts_.empty());
}

TEST_F(CommandLine, VersionAndHelpGoToStandardOutput) {
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr(program::kVersionText));
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("new-image"));
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
  // Nothing stored: LPT1, which this machine lacks; the reason is told once,
  // before the timeout it caused.
  EXPECT_EQ(Run({"--timeout", "0", "list"}), 1);
  EXPECT_EQ(askedPorts_.back(), 0x378);
  EXPECT_EQ(err_.str().rfind("No parallel port has that address.  Communications timed out.", 0),
            0u);

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

namespace {

std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string first;
  std::getline(in, first);
  return first;
}

}  // namespace

TEST_F(CommandLine, TraceRecordsTheWire) {
  const std::string image = ImageWithFile("card.dcm", "x");
  const std::string trace = scratch_.File("wire.txt");
  ASSERT_EQ(Run({"--image", image, "--trace", trace, "page", "1"}), 0) << err_.str();
  EXPECT_EQ(FirstLine(trace), "W 0 01");
}

// --force counts given before or after the command.
TEST_F(CommandLine, AnExistingTraceIsKeptUnlessForced) {
  const std::string image = ImageWithFile("card.dcm", "x");
  const std::string trace = scratch_.File("wire.txt");
  WriteBytes(trace, {'k', 'e', 'p', 't'});
  EXPECT_EQ(Run({"--image", image, "--trace", trace, "list"}), 1);
  EXPECT_EQ(err_.str(), trace + " already exists; add --force to replace it.\n");
  EXPECT_EQ(ReadBytes(trace), (std::vector<std::uint8_t>{'k', 'e', 'p', 't'}));
  ASSERT_EQ(Run({"--image", image, "--trace", trace, "--force", "list"}), 0) << err_.str();
  EXPECT_EQ(FirstLine(trace), "W 0 01");
}

TEST_F(CommandLine, ATraceThatCannotBeWrittenFailsTheCommandItTraced) {
  const std::string image = ImageWithFile("card.dcm", "x");
  const std::string device = FullDevice(scratch_);
  if (device.empty()) GTEST_SKIP() << "no device here that fails writes";
  EXPECT_EQ(Run({"--image", image, "--trace", device, "--force", "page", "1"}), 1);
  EXPECT_EQ(err_.str(),
            "The trace file " + device + " could not be written: No space left on device.\n");
}

// Outputs never clobber inputs: nothing is saved over the card image, by any name.
TEST_F(CommandLine, OutputsThatAreTheImageAreRefusedBeforeTheCard) {
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
}

// A link to nothing counts as a file that is there; an empty name as none.
TEST_F(CommandLine, OutputsALinkToNothingOrAnEmptyNameAreRefused) {
  const std::string image = ImageWithFile("card.bin", "x");
  const std::string dangling = scratch_.File("dangling.dci");
  std::filesystem::create_symlink(scratch_.File("nowhere.dci"), dangling);
  EXPECT_EQ(Run({"--image", image, "download", "0", dangling}), 1);
  EXPECT_EQ(err_.str(), dangling + " already exists; add --force to replace it.\n");
  EXPECT_EQ(Run({"--image", image, "download", "0", ""}), 1);
  EXPECT_EQ(err_.str(), "The file name is empty; it names no file.\n");
  EXPECT_FALSE(std::filesystem::exists(scratch_.File("nowhere.dci")));
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
