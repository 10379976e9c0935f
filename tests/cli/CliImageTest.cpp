#include "CliFixture.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

#include "Messages.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

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

}  // namespace

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
}

// Either ends the command, which says so once.
TEST_F(CommandLine, ASyncOrAWriteTheDiskRefusesFailsTheCommand) {
  const std::string image = ImageWithFile("card.vmu", "x");
  const std::string dci = scratch_.File("file.dci");
  ASSERT_EQ(Run({"--image", image, "download", "0", dci}), 0);
  environment_.imageCalls.dataSync = FailedSync;
  EXPECT_EQ(Run({"--image", image, "upload", "--replace", dci}), 1);
  EXPECT_EQ(err_.str(), image + " could not be saved to the disk: Input/output error.\n");

  environment_.imageCalls = RealFileCalls();
  environment_.imageCalls.write = FullWrite;
  EXPECT_EQ(Run({"--image", image, "upload", "--replace", dci}), 1);
  EXPECT_EQ(err_.str(),
            Fill(message::kNotStored, {image + " could not be written: No space left on device."}) +
                "\n");
}

TEST_F(CommandLine, AReadOnlyImageIsStillListed) {
  const std::string image = ImageWithFile("card.bin", "x");
  environment_.imageCalls = ReadOnlyFileCalls();
  ASSERT_EQ(Run({"--image", image, "list", "--tsv"}), 0) << err_.str();
  EXPECT_THAT(out_.str(), HasSubstr("SAVEGAME.001"));
  EXPECT_EQ(Run({"--image", image, "check", "--repair"}), 1);
  EXPECT_EQ(err_.str(), Fill(message::kImageReadOnly, {image}) + "\n");
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

// Consoles' dumps end in .vmd and are page images in storage order; saves
// and images copied from consoles' tools are named in upper case. Each is
// known by its extension in any case: opened, uploaded, restored, made.
TEST_F(CommandLine, VmdDumpsAndUpperCaseNamesAreKnownByTheirExtension) {
  const std::string dump = ImageWithFile("DUMP.VMD", "Dumped");
  EXPECT_EQ(ReadBytes(dump)[255 * 512 + card_format::kRootFatStart], 254);  // little-endian
  const std::string dci = scratch_.File("SAVE.DCI"), vms = scratch_.File("A.VMS");
  ASSERT_EQ(Run({"--image", dump, "download", "0", dci}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", dump, "download", "0", vms}), 0) << err_.str();
  ASSERT_TRUE(std::filesystem::exists(scratch_.File("A.VMI")));

  const std::string card = scratch_.File("SONIC.VMU");
  ASSERT_EQ(Run({"new-image", card}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", card, "upload", dci}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", card, "upload", "--replace", scratch_.File("A.VMI")}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", card, "list", "--tsv"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("\n0\tSAVEGAME.001\tDumped\t"));

  const std::string restored = scratch_.File("restored.vmd");
  ASSERT_EQ(Run({"new-image", restored}), 0) << err_.str();
  ASSERT_EQ(Run({"--image", restored, "restore", dump}), 0) << err_.str();
  EXPECT_EQ(ReadBytes(restored), ReadBytes(dump));
}
