#pragma once

// What the command-line tests share: korvantis-cli run in the test's own
// folders, as a function or as a child process.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "CliRunner.h"
#include "NoPortRoad.h"
#include "ResultAssertion.h"
#include "ScratchDirectory.h"

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

  // A four-page image with the file of ImageWithFile uploaded to page 3.
  std::string FourPagesWithAFileOnPage3() {
    const std::string dci = scratch_.File("file.dci"), target = scratch_.File("target.dcm");
    EXPECT_EQ(Run({"--image", ImageWithFile("source.bin", "Moved"), "download", "0", dci}), 0);
    EXPECT_EQ(Run({"new-image", target, "--pages", "4"}), 0);
    EXPECT_EQ(Run({"--image", target, "--page", "3", "upload", dci}), 0) << err_.str();
    return target;
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
inline std::string FullDevice(const CScratchDirectory& scratch) {
  if (::geteuid() != 0) return std::filesystem::is_character_file("/dev/full") ? "/dev/full" : "";
  const std::string own = scratch.File("full");
  if (::mknod(own.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) return "";
  const int fd = ::open(own.c_str(), O_WRONLY);  // a folder mounted nodev opens no device
  if (fd < 0) return "";
  ::close(fd);
  return own;
}
