#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "CardConsistency.h"
#include "CardOnSimulator.h"
#include "CareCommands.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"

namespace {
using Bytes = std::vector<std::uint8_t>;
using Chain = std::vector<std::uint16_t>;

// A card whose data files lie scattered over random blocks, with at least
// three blocks free, and perhaps a game at block 0.
CPageImage ScatteredCard(std::uint32_t seed) {
  std::mt19937 random(seed);
  CPageImage page = CPageImage::Formatted();
  std::uint16_t game = random() % 2 ? static_cast<std::uint16_t>(random() % 20 + 1) : 0;
  Chain free;
  for (std::uint16_t b = game; b < 200; ++b)
    free.push_back(b);
  std::shuffle(free.begin(), free.end(), random);
  std::uint16_t slot = 0;
  if (game != 0) {
    CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kGame, 0, game);
    entry.SetFileName("GAME        ");
    Chain chain(game);
    for (std::uint16_t k = 0; k < game; ++k)
      chain[k] = k;
    PlaceChain(page, slot++, entry.GetData(), chain, Bytes(game * 512u, 0x47));
  }
  while (free.size() > 3) {
    const auto size = static_cast<std::uint16_t>(
        std::min<std::size_t>(random() % 12 + 1, free.size() - 3 + random() % 2));
    CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, 0, size);
    entry.SetFileName(("F" + std::to_string(slot) + "          ").c_str());
    Bytes bytes(size * 512u);
    for (std::uint8_t& byte : bytes)
      byte = static_cast<std::uint8_t>(random());
    PlaceChain(page, slot++, entry.GetData(), Chain(free.end() - size, free.end()), bytes);
    free.resize(free.size() - size);
    if (random() % 8 == 0) break;
  }
  return page;
}

class DefragmentPageTest : public ::testing::Test {
 protected:
  CommandResult Defragment() { return DefragmentPage(sim_.Card(), copies_, progress_, user_); }
  // Every file of before is on the card with its bytes.
  void ExpectFilesKept(const CPageImage& before, const std::string& what) {
    const CPageImage after = sim_.ReadPage();
    EXPECT_EQ(ConsistencyProblems(after, true), std::vector<std::string>{}) << what;
    for (const PageFile& file : FilesOf(before)) {
      EXPECT_EQ(ChainBytes(after, FindFile(after, file.name).chain), ChainBytes(before, file.chain))
          << what << " " << file.name;
    }
  }

  CCardOnSimulator sim_;
  CScratchDirectory scratch_;
  SafetyCopies copies_{scratch_.File("copies"), 1};
  CScriptedProgress progress_;
  CScriptedUser user_{&progress_};
};

TEST_F(DefragmentPageTest, PacksScatteredFilesFrom199DownTouchingEachBlockOnce) {
  for (std::uint32_t seed = 1; seed <= 12; ++seed) {
    const CPageImage before = ScatteredCard(seed);
    sim_.LoadPage(before);
    ASSERT_EQ(Defragment(), CommandResult::Done) << seed;
    ExpectFilesKept(before, "seed " + std::to_string(seed));
    const CPageImage after = sim_.ReadPage();
    std::vector<Chain> chains;
    for (const PageFile& file : FilesOf(after)) {
      if (file.entry[card_format::kEntryType] != CVmuDirEntry::kGame)
        chains.push_back(file.chain);
      else
        EXPECT_EQ(file.chain, FindFile(before, file.name).chain);  // the game stays
    }
    std::sort(chains.rbegin(), chains.rend());
    std::uint16_t next = 199;
    for (const Chain& chain : chains)
      for (const std::uint16_t block : chain)
        EXPECT_EQ(block, next--) << seed;
    EXPECT_EQ(FreeUserBlocks(after).size(), FreeUserBlocks(before).size());
    EXPECT_TRUE(FreeUserBlocks(after).empty() || FreeUserBlocks(after).front() == next) << seed;
    std::map<int, int> reads, writes;  // of user blocks; writes in 128-byte units
    for (const std::string& word : sim_.TakeTransfers()) {
      if (word.rfind("R@", 0) == 0) {
        const int address = std::stoi(word.substr(2)),
                  length = std::stoi(word.substr(word.find('#') + 1));
        for (int block = address / 512; block < (address + length) / 512; ++block)
          ++reads[block];
      } else if (word[0] == 'R') {
        ++reads[std::stoi(word.substr(1))];
      } else if (word[0] == 'W' && std::stoi(word.substr(1)) < 200) {
        ++writes[std::stoi(word.substr(1))];
      }
    }
    for (const auto& [block, count] : reads)
      EXPECT_EQ(count, 1) << seed << " R" << block;
    for (const auto& [block, count] : writes)
      EXPECT_EQ(count, 4) << seed << " W" << block;
  }
}
}  // namespace
