#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "PageCommands.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"
#include "StatusCodes.h"

namespace {
constexpr std::uint32_t kPage = CPageImage::kSize;

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> WirePage(CSimulatedCard& sim, std::uint32_t page = 0) {
  return {sim.GetPage(page), sim.GetPage(page) + kPage};
}

std::vector<std::int32_t> Offsets(std::int32_t unit) {
  std::vector<std::int32_t> offsets;
  for (std::int32_t offset = 0; offset < static_cast<std::int32_t>(kPage); offset += unit)
    offsets.push_back(offset);
  return offsets;
}

// Runs the command with files limited to 64 KiB, so that writing a page fails half-way.
CommandResult WithSmallFileLimit(const std::function<CommandResult()>& command) {
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limit = saved;
  limit.rlim_cur = 65536;
  setrlimit(RLIMIT_FSIZE, &limit);
  const auto handler = std::signal(SIGXFSZ, SIG_IGN);
  const CommandResult result = command();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, handler);
  return result;
}

class PageBackupRestoreTest : public ::testing::Test {
 protected:
  CCardOnSimulator sim_;
  std::unique_ptr<CVmuCard> card_ = sim_.MakeCard();  // no recording: whole pages are big
  CScratchDirectory scratch_;
  CScriptedProgress progress_;
  CScriptedUser user_;
};

TEST_F(PageBackupRestoreTest, BackupSavesThePageInWireOrderAfterReadingAllOfIt) {
  sim_.LoadPage(NoisePage(1));
  const std::string path = scratch_.File("page.dcm");
  WriteAll(path, std::vector<std::uint8_t>(kPage + 5000, 0xEE));  // replaced, not kept in part
  user_.AnswerNextChoice(path);

  EXPECT_EQ(BackupPage(*card_, progress_, user_), CommandResult::Done);

  const std::vector<std::uint8_t> file = ReadAll(path);
  EXPECT_EQ(file, WirePage(sim_.Sim()));
  // The storage layer sees the root block's first group in the reverse order.
  const std::uint8_t* root = nullptr;
  ASSERT_TRUE(card_->GetCache()->Read(255 * 512, root, 4, false));
  EXPECT_EQ((std::vector<std::uint8_t>{file[130563], file[130562], file[130561], file[130560]}),
            std::vector<std::uint8_t>(root, root + 4));

  EXPECT_EQ(progress_.message, "Downloading data from the memory card...");
  EXPECT_EQ(progress_.upper, 131072);
  EXPECT_EQ(progress_.positions, Offsets(4096));
  EXPECT_EQ(progress_.destroys, 1);
  EXPECT_EQ(user_.choicesAsked, std::vector<std::string>{"save dcm"});
  EXPECT_TRUE(user_.messages.empty());
}

TEST_F(PageBackupRestoreTest, BackupThatStopsEarlyAsksForNoFile) {
  sim_.Sim().ResetCounters();
  sim_.Sim().Faults().silentAfter = 9;  // the tenth unit finds no card
  EXPECT_EQ(BackupPage(*card_, progress_, user_), CommandResult::Failed);
  EXPECT_EQ(user_.messages, std::vector<std::string>{StatusMessage(status::kTimeout)});
  EXPECT_EQ(progress_.positions.size(), 9u);
  EXPECT_FALSE(progress_.open);

  sim_.Sim().Faults().silentAfter = -1;
  progress_ = CScriptedProgress();
  progress_.CancelAtPosition(3);
  sim_.Sim().ResetCounters();
  EXPECT_EQ(BackupPage(*card_, progress_, user_), CommandResult::Cancelled);
  EXPECT_EQ(sim_.Sim().GetCounters().reads, 3u);
  EXPECT_FALSE(progress_.open);

  EXPECT_TRUE(user_.choicesAsked.empty());
  EXPECT_EQ(user_.messages.size(), 1u);  // a cancel says nothing

  user_.AnswerNextChoice("");
  EXPECT_EQ(BackupPage(*card_, progress_, user_), CommandResult::Dismissed);
  EXPECT_EQ(user_.messages.size(), 1u);
}

TEST_F(PageBackupRestoreTest, BackupFileThatCannotBeWrittenIsReportedAndNotLeftBehind) {
  const std::string cannot = "File could not be created, or could not be written to.";
  user_.AnswerNextChoice(scratch_.File("missing/page.dcm"));
  EXPECT_EQ(BackupPage(*card_, progress_, user_), CommandResult::Failed);
  EXPECT_EQ(user_.messages, std::vector<std::string>{cannot});

  const std::string partial = scratch_.File("partial.dcm");
  user_.AnswerNextChoice(partial);
  EXPECT_EQ(WithSmallFileLimit([&] { return BackupPage(*card_, progress_, user_); }),
            CommandResult::Failed);
  EXPECT_EQ(user_.messages, (std::vector<std::string>{cannot, cannot}));
  EXPECT_FALSE(std::filesystem::exists(partial));
}

TEST_F(PageBackupRestoreTest, RestoreOfABackupWritesBackTheSameBytes) {
  sim_.LoadPage(NoisePage(1));
  const std::vector<std::uint8_t> saved = WirePage(sim_.Sim());
  const std::string path = scratch_.File("page.dcm");
  user_.AnswerNextChoice(path);
  ASSERT_EQ(BackupPage(*card_, progress_, user_), CommandResult::Done);
  sim_.LoadPage(NoisePage(2));

  // A longer file gives its first 131,072 bytes.
  std::vector<std::uint8_t> longer = ReadAll(path);
  longer.resize(kPage + 1000, 0xAA);
  WriteAll(path, longer);
  progress_ = CScriptedProgress();
  user_.AnswerNextChoice(path);
  sim_.Sim().ResetCounters();
  const std::uint8_t* block = nullptr;
  ASSERT_TRUE(card_->GetCache()->Read(0, block, 4, false));
  EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Done);

  EXPECT_EQ(WirePage(sim_.Sim()), saved);
  EXPECT_EQ(sim_.Sim().GetCounters().writeUnits, 1024u);
  EXPECT_EQ(card_->GetCache()->GetBlockStatus(0), CVmuMemory::kNotLoaded);
  EXPECT_EQ(progress_.message, "Uploading data to the memory card...");
  EXPECT_EQ(progress_.upper, 131072);
  EXPECT_EQ(progress_.positions, Offsets(128));
  EXPECT_FALSE(progress_.open);
  EXPECT_EQ(user_.choicesAsked, (std::vector<std::string>{"save dcm", "open dcm"}));
  EXPECT_TRUE(user_.messages.empty());
}

TEST_F(PageBackupRestoreTest, RestoreRefusesAFileShorterThanAPageBeforeWriting) {
  const std::string path = scratch_.File("short.dcm");
  WriteAll(path, std::vector<std::uint8_t>(kPage - 1, 0x11));
  user_.AnswerNextChoice(path);
  user_.AnswerNextChoice(scratch_.File("none.dcm"));
  user_.AnswerNextChoice("");
  sim_.Sim().ResetCounters();

  EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Failed);
  EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Failed);
  EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Dismissed);

  EXPECT_EQ(user_.messages, std::vector<std::string>(2, "File could not be read."));
  EXPECT_EQ(sim_.Sim().GetCounters().transactions, 0u);
  EXPECT_EQ(progress_.creates, 0);
}

// Blocks cached before a restore that stops part-way are read again after it.
TEST_F(PageBackupRestoreTest, RestoreStoppedPartWayKeepsItsUnitsAndEmptiesTheCache) {
  const CPageImage noise = NoisePage(3);
  const std::vector<std::uint8_t> file(noise.GetData(), noise.GetData() + kPage);
  const std::string path = scratch_.File("page.dcm");
  WriteAll(path, file);
  CVmuMemory& cache = *card_->GetCache();
  const std::uint8_t* block = nullptr;

  // Cancel after the first unit: exactly its 128 bytes are new.
  ASSERT_TRUE(cache.Read(0, block, 4, false));
  progress_.CancelAtPosition(1);
  user_.AnswerNextChoice(path);
  std::vector<std::uint8_t> expected = WirePage(sim_.Sim());
  std::copy(file.begin(), file.begin() + 128, expected.begin());
  EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Cancelled);
  EXPECT_EQ(WirePage(sim_.Sim()), expected);
  ASSERT_TRUE(cache.Read(0, block, 4, false));
  EXPECT_EQ((std::vector<std::uint8_t>{file[3], file[2], file[1], file[0]}),
            std::vector<std::uint8_t>(block, block + 4));

  // A failure at the tenth unit.
  sim_.Sim().ResetCounters();
  sim_.Sim().Faults().silentAfter = 9;
  progress_ = CScriptedProgress();
  user_.AnswerNextChoice(path);
  EXPECT_EQ(RestorePage(*card_, progress_, user_), CommandResult::Failed);
  EXPECT_EQ(user_.messages, std::vector<std::string>{StatusMessage(status::kTimeout)});
  EXPECT_EQ(progress_.positions.size(), 9u);
  EXPECT_FALSE(progress_.open);
  EXPECT_EQ(cache.GetBlockStatus(0), CVmuMemory::kNotLoaded);
}
}  // namespace
