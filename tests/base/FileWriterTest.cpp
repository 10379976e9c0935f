#include "FileWriter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "ScratchDirectory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  return names;
}

// The disk fills up after the first 1000 bytes of any file.
long WriteUntilFull(int fd, const void* bytes, std::size_t size) {
  static std::size_t written = 0;
  if (written >= 1000) {
    written = 0;  // the next file starts afresh
    errno = ENOSPC;
    return -1;
  }
  const long done = RealFileCalls().write(fd, bytes, std::min<std::size_t>(size, 1000 - written));
  written += static_cast<std::size_t>(done);
  return done;
}

// Another program takes the name while the bytes are being written.
std::string contested;
long WriteAfterTheNameIsTaken(int fd, const void* bytes, std::size_t size) {
  WriteBytes(contested, {'t', 'h', 'e', 'i', 'r', 's'});
  return RealFileCalls().write(fd, bytes, size);
}

TEST(FileWriter, AFailedWriteKeepsTheOldContentAndLeavesNoTemporaryFile) {
  CScratchDirectory scratch;
  const std::string path = scratch.File("save.dci");
  const Bytes old(300, 0x11), longer(5000, 0x22);
  WriteBytes(path, old);
  FileCalls full = RealFileCalls();
  full.write = WriteUntilFull;

  Result written = WriteFileReplacing(path, longer.data(), longer.size(), full);
  EXPECT_EQ(written.Message(),
            "File could not be created, or could not be written to. (No space left on device)");
  EXPECT_EQ(written.Code(), std::uint32_t{ENOSPC});
  EXPECT_EQ(ReadBytes(path), old);
  written = WriteNewFile(scratch.File("new.bin"), longer.data(), longer.size(), full);
  EXPECT_FALSE(written);
  EXPECT_EQ(Names(scratch.Path()), std::vector<std::string>{"save.dci"});

  // Files written together take their names only once all are written.
  const std::string vmi = scratch.File("save.vmi");
  WriteBytes(vmi, old);
  written = WriteFilesReplacing({{path, old.data() + 1, 299}, {vmi, longer.data(), 5000}}, full);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(ReadBytes(vmi), old);
  EXPECT_EQ(Names(scratch.Path()).size(), 2u);
  fs::remove(vmi);
  WriteBytes(path, old);

  // A name taken meanwhile is left to whoever took it.
  FileCalls racing = RealFileCalls();
  racing.write = WriteAfterTheNameIsTaken;
  contested = scratch.File("new.bin");
  written = WriteNewFile(contested, longer.data(), longer.size(), racing);
  EXPECT_EQ(written.Message(), contested + " already exists; it is left as it is.");
  EXPECT_EQ(ReadBytes(contested), (Bytes{'t', 'h', 'e', 'i', 'r', 's'}));
  EXPECT_EQ(Names(scratch.Path()).size(), 2u);
}

TEST(FileWriter, ReplacingKeepsTheFilesPermissionsAndItsLinks) {
  CScratchDirectory scratch;
  const std::string path = scratch.File("private.dcm"), link = scratch.File("link.dcm");
  WriteBytes(path, Bytes(10, 0x11));
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(path, link);
  const Bytes fresh(20, 0x33);

  ASSERT_TRUE(WriteFileReplacing(link, fresh.data(), fresh.size()));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(path), fresh);
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  // A new file is made as any program makes one, under the umask.
  const mode_t saved = ::umask(022);
  ASSERT_TRUE(WriteFileReplacing(scratch.File("new.dci"), fresh.data(), fresh.size()));
  ::umask(saved);
  struct stat made {};
  ASSERT_EQ(::stat(scratch.File("new.dci").c_str(), &made), 0);
  EXPECT_EQ(made.st_mode & 0777, 0644u);
}

}  // namespace
