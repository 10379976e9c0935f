#include "CliFixture.h"

#include <functional>
#include <utility>

#include "Messages.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

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

TEST_F(CommandLine, DownloadAllWritesVmsPairsIntoAFolderThatExists) {
  const std::string source = ImageWithFile("source.bin", "Moved");
  const std::string folder = scratch_.File("out");
  std::filesystem::create_directory(folder);
  ASSERT_EQ(Run({"--image", source, "download", "--all", folder, "--format", "vms"}), 0)
      << err_.str();
  const std::string vmi = folder + "/SAVEGAME.vmi";
  ASSERT_TRUE(std::filesystem::exists(vmi));
  EXPECT_EQ(Run({"--image", source, "download", "--all", scratch_.File("none")}), 1);
}

// Card names longer than a VMI can name, alike once cut, or alike but for
// letter case: each pair's stem is one its VMI names whole, so that a VMI
// renamed still finds its VMS, and the pairs fill a new card as the old one.
TEST_F(CommandLine, DownloadAllWritesPairsThatGoBackOntoANewCardByteForByte) {
  struct File {
    const char* name;
    bool game;
    std::uint16_t first, size;
    const char* stem;
  };
  const File files[] = {{"CVS.S2__SYS1", false, 199, 2, "CVSS2SYS"},
                        {"CVS.S2__SYS2", false, 197, 1, "CVSS2SY2"},
                        {"cvs-s2-sys  ", false, 196, 3, "cvss2sy3"},
                        {"SONICADV_INT", true, 0, 2, "SONICADV"},
                        {"A           ", false, 193, 1, "A"}};
  CPageImage page = CPageImage::Formatted();
  for (std::uint16_t slot = 0; slot < 5; ++slot) {
    const File& file = files[slot];
    CVmuDirEntry entry =
        MakeEntry(file.game ? CVmuDirEntry::kGame : CVmuDirEntry::kData, file.first, file.size);
    entry.SetFileName(file.name);
    entry.SetHeaderOffset(file.game ? 1 : 0);
    entry.SetCopyProtect(slot == 1 ? 0xFF : 0);
    const std::uint8_t stamp[8] = {
        0x20, 0x26, 0x12, 0x07, 0x23, 0x59, static_cast<std::uint8_t>(slot), 0};
    std::memcpy(entry.GetData() + 16, stamp, 8);
    std::vector<std::uint8_t> blocks(file.size * 512u);
    for (std::size_t i = 0; i < blocks.size(); ++i)
      blocks[i] = static_cast<std::uint8_t>(i * 13 + slot);
    ASSERT_TRUE(page.PlaceFile(slot, entry, blocks.data()));
  }
  const std::string image = scratch_.File("card.bin"), fresh = scratch_.File("fresh.bin");
  const std::string out = scratch_.File("out") + "/";
  ASSERT_TRUE(Succeeded(CPageImage::WriteNewFile(image, {page})));
  std::filesystem::create_directory(out);
  ASSERT_EQ(Run({"--image", image, "download", "--all", out, "--format", "vms"}), 0) << err_.str();
  EXPECT_EQ(err_.str(), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 10);

  std::vector<std::string> upload = {"--image", fresh, "upload"};
  for (std::size_t k = 0; k < 5; ++k) {
    const std::string renamed = out + "renamed" + std::to_string(k) + ".vmi";
    std::filesystem::rename(out + files[k].stem + ".vmi", renamed);
    upload.push_back(renamed);
  }
  ASSERT_EQ(Run({"new-image", fresh}), 0);
  ASSERT_EQ(Run(upload), 0) << err_.str();
  const auto before = ReadBytes(image), after = ReadBytes(fresh);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + 255 * 512, after.begin()));
}

TEST_F(CommandLine, AFileWithoutIconFramesExportsNoIcon) {
  const std::string source = ImageWithFile("source.bin", "Moved");
  EXPECT_EQ(Run({"--image", source, "export-icon", "0", scratch_.File("icon.png")}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("no icon"));
}

TEST_F(CommandLine, DownloadKeepsAnExistingFileUnlessForced) {
  const std::string source = ImageWithFile("source.bin", "Moved");
  const std::string dci = scratch_.File("file.dci");
  ASSERT_EQ(Run({"--image", source, "download", "0", dci}), 0) << err_.str();
  EXPECT_EQ(Run({"--image", source, "download", "0", dci}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("--force"));
  EXPECT_EQ(Run({"--image", source, "download", "0", dci, "--force"}), 0) << err_.str();
}

TEST_F(CommandLine, AVmsWhoseVmiCannotBeWrittenStaysAsItWas) {
  const std::string source = ImageWithFile("source.bin", "Moved");
  const std::string vms = scratch_.File("pair.vms");
  WriteBytes(vms, {'o', 'l', 'd'});
  std::filesystem::create_directory(scratch_.File("pair.vmi"));
  EXPECT_EQ(Run({"--image", source, "download", "0", vms, "--force"}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("(Is a directory)"));
  EXPECT_EQ(ReadBytes(vms), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

TEST_F(CommandLine, UploadReachesOnlyThePageItNames) {
  const std::string target = FourPagesWithAFileOnPage3();
  ASSERT_EQ(Run({"--image", target, "--page", "3", "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("\n0\tSAVEGAME.001\tMoved\t"));
  ASSERT_EQ(Run({"--image", target, "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), Not(HasSubstr("SAVEGAME")));
}

TEST_F(CommandLine, UploadReplacesOnlyWithReplace) {
  const std::string image = ImageWithFile("card.vmu", "First");
  const std::string dci = scratch_.File("same.dci");
  ASSERT_EQ(Run({"--image", image, "download", "0", dci}), 0) << err_.str();
  const auto before = ReadBytes(image);
  EXPECT_EQ(Run({"--image", image, "upload", dci}), 1);
  EXPECT_THAT(err_.str(), HasSubstr("Add --replace"));
  EXPECT_EQ(ReadBytes(image), before);
  EXPECT_EQ(Run({"--image", image, "upload", "--replace", dci}), 0) << err_.str();
}

TEST_F(CommandLine, UploadsAVmsWithoutItsVmiOnlyWithReplace) {
  const std::string image = ImageWithFile("card.vmu", "First");
  const std::string lone = scratch_.File("lone.vms");
  WriteBytes(lone, std::vector<std::uint8_t>(512, 1));
  EXPECT_EQ(Run({"--image", image, "upload", lone}), 1);
  EXPECT_EQ(err_.str(), lone + " was not uploaded: it has no VMI file beside it.\n" +
                            message::kAddReplace.text + "\n");
  EXPECT_EQ(Run({"--image", image, "upload", "--replace", lone}), 0) << err_.str();
}

namespace {

// Four card files whose names make one file name, but for letter case and
// the blank one; each file's DCI is its entry, then its block with every group
// of four bytes reversed.
const std::string kStems[] = {"SAVE_A.dci", "SAVE_A-2.dci", "Save_A-3.dci", "slot-03.dci"};
std::vector<std::vector<std::uint8_t>> PlaceLikeNames(const std::string& image) {
  CPageImage page = CPageImage::Formatted();
  const char* names[] = {"SAVE A      ", "SAVE_A      ", "Save/A      ", "            "};
  std::vector<std::vector<std::uint8_t>> dcis;
  for (std::uint16_t slot = 0; slot < 4; ++slot) {
    CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, static_cast<std::uint16_t>(199 - slot), 1);
    entry.SetFileName(names[slot]);
    std::vector<std::uint8_t> block(512), dci(entry.GetData(), entry.GetData() + 32);
    for (std::size_t i = 0; i < 512; ++i)
      block[i] = static_cast<std::uint8_t>(i * 7 + slot);
    for (std::size_t i = 0; i < 512; ++i)
      dci.push_back(block[i ^ 3]);
    EXPECT_TRUE(page.PlaceFile(slot, entry, block.data()));
    dcis.push_back(dci);
  }
  EXPECT_TRUE(Succeeded(CPageImage::WriteNewFile(image, {page})));
  return dcis;
}

}  // namespace

TEST_F(CommandLine, DownloadAllNamesEveryFileApart) {
  const std::string image = scratch_.File("card.bin"), out = scratch_.File("out");
  const auto dcis = PlaceLikeNames(image);
  std::filesystem::create_directory(out);
  ASSERT_EQ(Run({"--image", image, "download", "--all", out}), 0) << err_.str();
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 4);
  for (std::size_t k = 0; k < 4; ++k)
    EXPECT_EQ(ReadBytes(out + "/" + kStems[k]), dcis[k]) << kStems[k];
}

// In the way: a file kept, a folder, links onto the image and the trace.
TEST_F(CommandLine, DownloadAllFailsNamingWhatItSkipped) {
  const std::string image = scratch_.File("card.bin");
  const auto dcis = PlaceLikeNames(image);
  const auto before = ReadBytes(image);
  const std::string in = scratch_.File("in") + "/", trace = scratch_.File("wire.txt");
  std::filesystem::create_directories(in + kStems[1]);
  WriteBytes(in + kStems[0], {'o', 'l', 'd'});
  std::filesystem::create_symlink(image, in + kStems[3]);
  ASSERT_EQ(Run({"--image", image, "download", "--all", in}), 1);
  EXPECT_EQ(err_.str(), in + kStems[0] + " already exists and was kept; its card file was not " +
                            "downloaded.\n" + in + kStems[1] +
                            " is a folder, a device, a pipe or a link to nothing; its card file " +
                            "was not downloaded.\n" + in + kStems[3] +
                            " leads to the card image or the trace file in use; its card file " +
                            "was not downloaded.\nAdd --force to replace the files that were " +
                            "kept.\n");
  EXPECT_EQ(ReadBytes(in + kStems[0]), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(ReadBytes(in + kStems[2]), dcis[2]);

  std::filesystem::remove(in + kStems[2]);
  std::filesystem::create_symlink(trace, in + kStems[2]);
  ASSERT_EQ(Run({"--image", image, "--trace", trace, "--force", "download", "--all", in}), 1);
  EXPECT_THAT(err_.str(), HasSubstr(in + kStems[2] + " leads to the card image or the trace"));
  EXPECT_EQ(ReadBytes(in + kStems[0]), dcis[0]);
  EXPECT_EQ(ReadBytes(image), before);
  EXPECT_TRUE(std::filesystem::is_symlink(in + kStems[3]));
}

// The card on the port is swapped while a question is open (its two entries
// change places): the batch commands act only on the files they listed.
TEST_F(CommandLine, BatchCommandsActOnlyOnTheFilesTheyListed) {
  CPageImage listed = CPageImage::Formatted();
  for (const std::uint16_t slot : std::initializer_list<std::uint16_t>{0, 1}) {
    CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, static_cast<std::uint16_t>(199 - slot), 1);
    entry.SetFileName(slot == 0 ? "FIRST       " : "SECOND      ");
    ASSERT_TRUE(listed.PlaceFile(
        slot, entry, std::vector<std::uint8_t>(512, static_cast<std::uint8_t>(slot)).data()));
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
