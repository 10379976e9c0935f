#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "CardConsistency.h"
#include "CardOnSimulator.h"
#include "CareCommands.h"
#include "DcmFile.h"
#include "EnvironmentGuard.h"
#include "RealData.h"
#include "ResultAssertion.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"

namespace {
using card_format::PutLe16;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

class CheckCardTest : public ::testing::Test {
 protected:
  // File S at 199-198 with a stale checksum, and blocks 10 and 11 used by no file.
  void SetUp() override {
    CPageImage page = CPageImage::Formatted();
    CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, 199, 2);
    entry.SetFileName("S           ");
    Bytes blocks(1024, 0x21);
    PutLe16(&blocks[card_format::kHeaderDataSize], 200);
    ASSERT_TRUE(page.PlaceFile(0, entry, blocks.data()));
    page.SetFatEntry(10, 11);
    page.SetFatEntry(11, 0xFFFA);
    sim_.LoadPage(page);
    before_ = sim_.ReadPage();
  }
  CommandResult Check(const CheckRequest& request, bool& sound) {
    CheckVerdict verdict;
    const CommandResult result =
        CheckCard(sim_.Card(), request, copies_, progress_, user_, verdict);
    sound = verdict.sound;
    return result;
  }
  static constexpr CheckRequest kRepair{true, CheckRequest::Checksums::Leave};
  static constexpr CheckRequest kAsk{true, CheckRequest::Checksums::Ask};
  std::vector<fs::path> Copies() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(copies_.folder))
      files.push_back(entry.path());
    return files;
  }

  CCardOnSimulator sim_;
  CPageImage before_;
  CScratchDirectory scratch_;
  SafetyCopies copies_{scratch_.File("copies"), 2};
  CScriptedProgress progress_;
  CScriptedUser user_{&progress_};
};

TEST_F(CheckCardTest, RepairFreesUnnamedBlocksAndRewritesAChecksumOnlyWhenAskedTo) {
  bool sound = true;
  ASSERT_EQ(Check({}, sound), CommandResult::Done);
  EXPECT_FALSE(sound);
  ASSERT_EQ(user_.messages.size(), 1u);
  EXPECT_NE(user_.messages[0].find("2 blocks are used but held by no file: 10, 11."),
            std::string::npos);
  EXPECT_FALSE(fs::exists(copies_.folder));  // a check alone writes nothing

  ASSERT_EQ(Check(kRepair, sound), CommandResult::Done);
  EXPECT_FALSE(sound);  // the checksum is still wrong, and nobody was asked about it
  EXPECT_TRUE(user_.questions.empty());
  // What was mended first, then what is left, then where the copy is.
  EXPECT_EQ(
      user_.messages.back().rfind("Repaired: freed 2 blocks.\nWhat is left of the damage:\n", 0),
      0u);
  EXPECT_NE(user_.messages.back().find("\nA safety copy of the page was saved as "),
            std::string::npos);
  const CPageImage after = sim_.ReadPage();
  EXPECT_EQ(ConsistencyProblems(after), std::vector<std::string>{});
  EXPECT_EQ(ChainBytes(after, {199, 198}), ChainBytes(before_, {199, 198}));
  ASSERT_EQ(Copies().size(), 1u);  // the page as it was before the repair
  Bytes copy(card_format::kPageSize);
  ASSERT_TRUE(LoadDcmFile(Copies()[0].string(), copy.data()));
  card_format::ReverseGroups(copy.data(), copy.size());
  EXPECT_TRUE(std::equal(copy.begin(), copy.end(), before_.GetData()));
  EXPECT_NE(Copies()[0].filename().string().find("-page2.dcm"), std::string::npos);

  user_.AnswerNextQuestion(false);  // No to the question, as the default is
  ASSERT_EQ(Check(kAsk, sound), CommandResult::Done);
  EXPECT_EQ(user_.questions.size(), 1u);
  EXPECT_EQ(ChainBytes(sim_.ReadPage(), {199, 198}), ChainBytes(before_, {199, 198}));

  ASSERT_EQ(Check({true, CheckRequest::Checksums::Rewrite}, sound), CommandResult::Done);
  EXPECT_TRUE(sound);
  EXPECT_EQ(user_.questions.size(), 1u);
  // Every byte of S but its checksum stays; its header declares more than a
  // page, so the checksum is its blocks'.
  Bytes expected = ChainBytes(before_, {199, 198});
  expected[0x46] = expected[0x47] = 0;
  PutLe16(&expected[0x46], card_format::Crc16(expected.data(), expected.size()));
  EXPECT_EQ(ChainBytes(sim_.ReadPage(), {199, 198}), expected);
}

// S.ARCADIA002 of a real card (slot 4, 27 blocks) with a wrong size: named,
// none of its blocks freed, its size set to 27 only when the user agrees.
TEST_F(CheckCardTest, AWrongSizeIsNamedAndMendedOnlyWhenAgreedAndNoBlockIsFreed) {
  KORVANTIS_NEED_REALDATA("images/ReadFiles_01.vmu");
  const fs::path path = RealData("images/ReadFiles_01.vmu");
  CPageImage real;
  const Bytes bytes = ReadBytes(path.string());
  std::copy(bytes.begin(), bytes.end(), real.GetData());
  const std::pair<std::uint16_t, const char*> cases[] = {
      {0, "0 blocks"}, {1, "1 block"}, {26, "26 blocks"}};
  for (const auto& [size, says] : cases) {
    CPageImage damaged = real;
    PutLe16(EntrySlot(damaged, 4) + 24, size);
    sim_.LoadPage(damaged);
    bool sound = true;
    user_.AnswerNextQuestion(false);
    ASSERT_EQ(Check(kAsk, sound), CommandResult::Done);
    EXPECT_NE(user_.messages.back().find(std::string("\"S.ARCADIA002\": its size says ") + says +
                                         ", its chain holds 27."),
              std::string::npos);
    EXPECT_TRUE(std::equal(damaged.GetData(), damaged.GetData() + card_format::kPageSize,
                           sim_.ReadPage().GetData()));
    user_.AnswerNextQuestion(true);
    ASSERT_EQ(Check(kAsk, sound), CommandResult::Done);
    EXPECT_TRUE(sound);
    EXPECT_TRUE(std::equal(real.GetData(), real.GetData() + card_format::kPageSize,
                           sim_.ReadPage().GetData()));
  }
}

// Pruning goes by time of writing, oldest first, never takes the copy just
// written, and touches only names this program gives.
TEST_F(CheckCardTest, SafetyCopiesKeepTheNewestTwentyAndAFailedOneStopsTheRepair) {
  fs::create_directories(copies_.folder);
  const std::string stem = copies_.folder + "/korvantis-2000-01-01_00-00-00.";
  // Oldest first, though last by name; the next two were written together.
  std::vector<std::string> ours = {stem + "999-page2.dcm", stem + "000-7-2-page2.dcm",
                                   stem + "000-7-10-page2.dcm"};
  for (int k = 10; k < 28; ++k)
    ours.push_back(copies_.folder + "/korvantis-1999-12-31_23-59-" + std::to_string(k) + ".dcm");
  // Each by the files' clock "after" the new copy, so that it is the oldest.
  const auto later = fs::file_time_type::clock::now() + std::chrono::hours(1);
  for (std::size_t k = 0; k < ours.size(); ++k) {
    WriteBytes(ours[k], {1});
    fs::last_write_time(ours[k], later + std::chrono::minutes(k == 2 ? 1 : k));
  }
  for (const char* other : {"/mine.dcm", "/korvantis-notes.dcm"})
    WriteBytes(copies_.folder + other, {1});
  std::string path;
  ASSERT_TRUE(Succeeded(SaveSafetyCopy(before_, copies_, path)));
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(Copies().size(), 22u);  // 20 copies and 2 files of the user's
  EXPECT_FALSE(fs::exists(ours[0]) || fs::exists(ours[1]));
  EXPECT_TRUE(fs::exists(ours[2]));

  WriteBytes(scratch_.File("file"), {1});
  copies_.folder = scratch_.File("file") + "/copies";  // cannot be made
  bool sound = true;
  EXPECT_EQ(Check(kRepair, sound), CommandResult::Failed);
  EXPECT_TRUE(std::equal(before_.GetData(), before_.GetData() + card_format::kPageSize,
                         sim_.ReadPage().GetData()));
  EXPECT_NE(user_.messages.back().find("nothing was written"), std::string::npos);
}

// Copies stamped with the same millisecond, by two processes at once and by
// one twice, each get a name of their own and keep their own page.
TEST_F(CheckCardTest, SafetyCopiesAtTheSameMomentNeverOverwriteEachOther) {
  copies_.now = [] { return std::chrono::system_clock::time_point(std::chrono::hours(490000)); };
  const auto save = [this](std::uint8_t mark) {
    std::fill_n(before_.GetBlock(0), card_format::kBlockSize, mark);
    std::string path;
    return SaveSafetyCopy(before_, copies_, path).Ok();
  };
  std::vector<pid_t> children;
  for (std::uint8_t mark = 1; mark <= 2; ++mark)
    if ((children.emplace_back(::fork())) == 0) ::_exit(save(mark) ? 0 : 1);
  EXPECT_TRUE(save(3) && save(4));
  int status = -1;
  for (const pid_t child : children)
    EXPECT_TRUE(::waitpid(child, &status, 0) == child && status == 0);
  std::set<std::uint8_t> marks;
  for (const fs::path& copy : Copies())
    marks.insert(ReadBytes(copy.string())[0]);
  EXPECT_EQ(marks, (std::set<std::uint8_t>{1, 2, 3, 4}));
}

// Without HOME (and XDG_DATA_HOME relative, so ignored) the data folder is
// under the home folder the system records for the user.
TEST_F(CheckCardTest, SafetyCopiesLiveInTheDataFolderEvenWithoutHome) {
  const CEnvironmentGuard data("XDG_DATA_HOME", "relative/is/ignored");
  const CEnvironmentGuard home("HOME", nullptr);
  const passwd* user = ::getpwuid(::getuid());
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(DefaultSafetyCopyFolder(),
            std::string(user->pw_dir) + "/.local/share/Vellquist/Korvantis/safety-copies");
}
}  // namespace
