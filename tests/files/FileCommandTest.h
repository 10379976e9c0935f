#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CardConsistency.h"
#include "CardOnSimulator.h"
#include "FileCommands.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"
#include "StatusCodes.h"

using Words = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

// The file commands end to end: the card object and the real link over a
// simulated card, which holds page_ once Load() has put it there.
class FileCommandTest : public ::testing::Test {
 protected:
  // Dated 05/13/2000 14:03:59.
  static CVmuDirEntry Entry(std::uint8_t type, const std::string& name, std::uint16_t first,
                            std::uint16_t size, std::uint8_t protect = 0) {
    CVmuDirEntry entry = MakeEntry(type, first, size);
    entry.SetCopyProtect(protect);
    char name12[12] = {};
    name.copy(name12, 12);
    entry.SetFileName(name12);
    std::memcpy(entry.GetData() + card_format::kEntryStamp, "\x20\x00\x05\x13\x14\x03\x59\x06", 8);
    return entry;
  }
  // size blocks whose bytes count up from seed: 00 01 02 03 ...
  static Bytes Blocks(std::uint16_t size, std::uint8_t seed = 0) {
    Bytes blocks(size * 512u);
    for (std::size_t i = 0; i < blocks.size(); ++i)
      blocks[i] = static_cast<std::uint8_t>(seed + i);
    return blocks;
  }
  void Place(std::uint16_t slot, const CVmuDirEntry& entry, const Bytes& blocks) {
    ASSERT_TRUE(page_.PlaceFile(slot, entry, blocks.data()));
  }
  // A file along the given chain, which need not descend.
  void PlaceAlong(std::uint16_t slot, const CVmuDirEntry& entry,
                  const std::vector<std::uint16_t>& chain, const Bytes& blocks) {
    PlaceChain(page_, slot, entry.GetData(), chain, blocks);
  }
  void PlaceEntryOnly(std::uint16_t slot, const CVmuDirEntry& entry) {
    std::memcpy(EntrySlot(page_, slot), entry.GetData(), CVmuDirEntry::kLength);
  }
  void SetRootField(std::uint32_t offset, std::uint16_t value) {
    card_format::PutLe16(page_.GetBlock(card_format::kRootBlock) + offset, value);
  }
  void Load() { sim_.LoadPage(page_); }

  // A DCI file as a download writes it: the entry, then the blocks in wire order.
  static Bytes Dci(const CVmuDirEntry& entry, Bytes blocks) {
    card_format::ReverseGroups(blocks.data(), blocks.size());
    blocks.insert(blocks.begin(), entry.GetData(), entry.GetData() + CVmuDirEntry::kLength);
    return blocks;
  }
  // The card the commands left, judged on its bytes; run after every writing test.
  void ExpectConsistent(bool allowUnnamedBlocks = false) {
    EXPECT_EQ(ConsistencyProblems(sim_.ReadPage(), allowUnnamedBlocks), Words{});
  }
  static bool HasWrites(const Words& transfers) {
    for (const std::string& word : transfers)
      if (word[0] == 'W') return true;
    return false;
  }

  CPageImage page_ = CPageImage::Formatted();
  CCardOnSimulator sim_;
  CScriptedProgress progress_;
  CScriptedUser user_{&progress_};
  CScratchDirectory scratch_;
};
