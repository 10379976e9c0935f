// The file and page commands on random cards, each judged against the model
// of the card in CardModel.h rather than by the product's own reading of it.
// Every card comes from a seed, which a failure names (SCOPED_TRACE), so the
// one card to look at can be made again with Generate(seed).

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "CardModel.h"
#include "CardOnSimulator.h"
#include "CareCommands.h"
#include "FileCommands.h"
#include "Messages.h"
#include "PageCheck.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"

namespace {
using namespace card_model;
using Lines = std::vector<std::string>;

// Commands that read a file or two per card get more cards than those that
// read the whole page.
constexpr std::uint32_t kSeeds = 40;
constexpr std::uint32_t kPageSeeds = 10;
// Defragment may refuse a card with fewer free blocks than this, and no other.
constexpr std::uint16_t kFewFreeBlocks = 8;

// Odd seeds keep their card sound; even ones harm it, each harm in turn.
Card MakeCard(std::uint32_t seed, Lines* findings = nullptr) {
  Card card = Generate(seed);
  if (seed % 2 == 0) {
    std::mt19937 rng(seed * 7919);
    const auto harm = static_cast<Harm>(seed / 2 % static_cast<std::uint32_t>(Harm::kCount));
    const Lines lines = Damage(card, harm, rng);
    if (findings != nullptr) *findings = lines;
  }
  return card;
}

std::string Need(std::size_t blocks) {
  return blocks == 1 ? "1 block" : BlocksText(blocks);
}
std::string Have(std::size_t free) {
  if (free == 0) return "there are no blocks free";
  if (free == 1) return "there is only 1 block free";
  return "there are only " + std::to_string(free) + " blocks free";
}

Lines SortedLines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  std::sort(lines.begin() + (lines.empty() ? 0 : 1), lines.end());
  return lines;
}

class RandomCardTest : public ::testing::Test {
 protected:
  void Load(const Card& card) {
    before_ = Render(card);
    sim_.LoadPage(before_);
    card_->Invalidate();
    user_.messages.clear();
  }
  static ListedFile Listed(std::uint16_t slot, const File& file) {
    CVmuDirEntry entry;
    entry.CopyFrom(file.entry.data());
    return ListedFile(slot, entry);
  }
  std::vector<std::uint16_t> Slots(const Card& card, bool dataOnly = false) {
    std::vector<std::uint16_t> slots;
    for (const auto& [slot, file] : card.files)
      if (!dataOnly || !file.Game()) slots.push_back(slot);
    return slots;
  }
  std::string Path(const std::string& name) { return scratch_.File(name); }

  CCardOnSimulator sim_;
  std::unique_ptr<CVmuCard> card_ = sim_.MakeCard();  // no recording: hundreds of commands
  CPageImage before_;
  CScriptedProgress progress_;
  CScriptedUser user_;
  CScratchDirectory scratch_;
};

// One row per file in slot order, the last slots too, with the entry's texts
// and, along a sound chain, the header's; the free blocks as the table says.
TEST_F(RandomCardTest, ListingShowsEveryFileAndTheFreeBlocksOfTheModel) {
  for (std::uint32_t seed = 1; seed <= kSeeds; ++seed) {
    SCOPED_TRACE("card of seed " + std::to_string(seed));
    const Card card = MakeCard(seed);
    Load(card);
    FileListing listing;
    ASSERT_EQ(RefreshList(*card_, progress_, user_, listing), CommandResult::Done);
    EXPECT_EQ(listing.freeBlocks, card.FreeBlocks());
    ASSERT_EQ(listing.rows.size(), card.files.size());
    auto row = listing.rows.begin();
    for (const auto& [slot, file] : card.files) {
      const std::uint8_t* stamp = &file.entry[kStamp];
      const auto bcd = [&](int i) { return (stamp[i] >> 4) * 10 + (stamp[i] & 0xF); };
      char date[16], time[16];
      std::snprintf(date, sizeof date, "%02d/%02d/%02d%02d", bcd(2), bcd(3), bcd(0), bcd(1));
      std::snprintf(time, sizeof time, "%02d:%02d:%02d", bcd(4), bcd(5), bcd(6));
      const std::array<std::string, 3> header =
          card.Sound(slot) ? HeaderTexts(file) : std::array<std::string, 3>{};
      const std::string size =
          file.Size() == 1 ? "1 Block" : std::to_string(file.Size()) + " Blocks";
      EXPECT_EQ(row->index, slot);
      EXPECT_EQ(row->entryBytes, std::string(file.entry.begin(), file.entry.end()));
      EXPECT_EQ(row->columns,
                (std::array<std::string, kFileColumnCount>{
                    file.Shown(), header[0], header[1], header[2], size, date, time,
                    file.entry[kProtect] != 0 ? "Yes" : "No", file.Game() ? "Game" : "Data"}))
          << "slot " << slot;
      ++row;
    }
    EXPECT_EQ(FirstDifference(sim_.ReadPage(), before_), "");
  }
}

// A file along a sound chain comes back as the model holds it, as a DCI file
// (entry, blocks in wire order) and as a VMS with its VMI; a file whose chain
// is damaged is refused and nothing is written.
TEST_F(RandomCardTest, DownloadGivesTheModelsBytesAsDciAndVmsOrRefusesADamagedChain) {
  for (std::uint32_t seed = 1; seed <= kSeeds; ++seed) {
    SCOPED_TRACE("card of seed " + std::to_string(seed));
    const Card card = MakeCard(seed);
    if (card.files.empty()) continue;
    Load(card);
    std::mt19937 rng(seed);
    std::vector<std::uint16_t> damaged, slots = Slots(card);
    for (const std::uint16_t slot : slots)
      if (!card.Sound(slot)) damaged.push_back(slot);
    for (const bool pair : {false, true}) {
      // A DCI file of a damaged file, if there is one.
      const std::vector<std::uint16_t>& from = pair || damaged.empty() ? slots : damaged;
      const std::uint16_t slot =
          from[static_cast<std::size_t>(Pick(rng, 0, static_cast<int>(from.size()) - 1))];
      const File& file = card.files.at(slot);
      const std::string stem = "F" + std::to_string(seed) + (pair ? "p" : "d");
      const std::string path = Path(stem + (pair ? ".vms" : ".dci"));
      const bool sound = card.Sound(slot);
      EXPECT_EQ(DownloadFile(*card_, Listed(slot, file), path, progress_, user_),
                sound ? CommandResult::Done : CommandResult::Failed);
      if (!sound) {
        EXPECT_FALSE(std::filesystem::exists(path));
        continue;
      }
      EXPECT_EQ(ReadBytes(path), pair ? file.data : Dci(file));
      if (!pair) continue;
      // The VMI's texts (description, copyright) and its version are the writer's own.
      Bytes vmi = ReadBytes(Path(stem + ".vmi")), want = Vmi(file, stem);
      ASSERT_EQ(vmi.size(), std::size_t{kVmiLength});
      for (Bytes* bytes : {&vmi, &want}) {
        std::fill(bytes->begin() + kVmiTexts, bytes->begin() + kVmiDate, 0);
        std::fill(bytes->begin() + kVmiVersion, bytes->begin() + kVmiNumber, 0);
      }
      EXPECT_EQ(vmi, want);
    }
    EXPECT_EQ(FirstDifference(sim_.ReadPage(), before_), "");
  }
}

// A new file, from a DCI file or a VMS/VMI pair, takes the lowest free slot
// among those the root counts and the highest free blocks (a game blocks 0
// up), and nothing else changes; it is refused, changing nothing, exactly
// when the model has no room for it.
TEST_F(RandomCardTest, UploadTakesTheHighestFreeBlocksOrIsRefusedWhenTheModelHasNoRoom) {
  for (std::uint32_t seed = 1; seed <= kSeeds; ++seed) {
    SCOPED_TRACE("card of seed " + std::to_string(seed));
    Card card = Generate(seed);
    Load(card);
    std::mt19937 rng(seed + 1000);
    const std::uint16_t free = card.FreeBlocks();
    const bool game = Pick(rng, 0, 3) == 0;
    auto size = static_cast<std::uint16_t>(Pick(rng, 1, game ? 30 : 50));
    if (!game && Pick(rng, 0, 3) == 0 && free >= 1 && free <= 60)  // just fits, or just not
      size = static_cast<std::uint16_t>(free + Pick(rng, 0, 1));
    const File upload = MakeFile(rng, game, size, NewName(card, rng));
    std::string path = Path("U" + std::to_string(seed) + ".dci");
    if (seed % 3 == 0) {
      path = Path("U" + std::to_string(seed) + ".vms");
      WriteBytes(Path("U" + std::to_string(seed) + ".vmi"),
                 Vmi(upload, "U" + std::to_string(seed)));
      WriteBytes(path, upload.data);
    } else {
      WriteBytes(path, Dci(upload));
    }
    Chain chain = card.FreeHighestFirst();
    if (game) {
      chain.clear();
      for (std::uint16_t b = 0; b < size; ++b)
        if (card.fat[b] == kFree) chain.push_back(b);
    }
    const int slot = card.FreeSlot();
    const bool fits = slot >= 0 && chain.size() >= size && !(game && card.HasGame());
    const CommandResult result = UploadFile(*card_, path, progress_, user_);
    if (!fits) {
      EXPECT_EQ(result, CommandResult::Failed);
      EXPECT_EQ(user_.messages.size(), 1u);
      if (!game && slot >= 0) {
        EXPECT_EQ(user_.messages, Lines{Fill(message::kNotEnoughSpace, {Need(size), Have(free)})});
      }
      EXPECT_EQ(FirstDifference(sim_.ReadPage(), before_), "");
      continue;
    }
    ASSERT_EQ(result, CommandResult::Done) << ::testing::PrintToString(user_.messages);
    chain.resize(size);
    File placed = upload;
    if (seed % 3 == 0 && placed.entry[kProtect] != 0)
      placed.entry[kProtect] = 0xFF;  // a VMI has one bit for it
    card.Place(static_cast<std::uint16_t>(slot), placed, chain);
    EXPECT_EQ(card.FreeBlocks(), free - size);
    EXPECT_EQ(FirstDifference(sim_.ReadPage(), Render(card)), "");
  }
}

// A data file of a name on the card, once the user agrees, goes into the
// highest blocks free while the old version still holds its own, which are
// freed after; refused, changing nothing, when there is no room for both or
// the user says No.
TEST_F(RandomCardTest, ReplaceWritesTheNewVersionBeforeFreeingTheOld) {
  for (std::uint32_t seed = 1; seed <= kSeeds; ++seed) {
    SCOPED_TRACE("card of seed " + std::to_string(seed));
    Card card = Generate(seed);
    const std::vector<std::uint16_t> slots = Slots(card, true);
    if (slots.empty()) continue;
    Load(card);
    std::mt19937 rng(seed + 2000);
    const std::uint16_t slot =
        slots[static_cast<std::size_t>(Pick(rng, 0, static_cast<int>(slots.size()) - 1))];
    const auto size = static_cast<std::uint16_t>(Pick(rng, 1, 40));
    const File upload = MakeFile(rng, false, size, card.files.at(slot).Name());
    const std::string path = Path("R" + std::to_string(seed) + ".dci");
    WriteBytes(path, Dci(upload));
    const bool yes = seed % 5 != 0;
    const std::uint16_t free = card.FreeBlocks();
    if (free >= size) user_.AnswerNextQuestion(yes);  // asked only once the file fits
    const CommandResult result = UploadFile(*card_, path, progress_, user_);
    if (free < size || !yes) {
      EXPECT_EQ(result, CommandResult::Failed);
      if (free < size) {
        EXPECT_EQ(user_.messages, Lines{Fill(message::kNoRoomToReplace, {Need(size), Have(free)})});
      }
      EXPECT_EQ(FirstDifference(sim_.ReadPage(), before_), "");
      continue;
    }
    ASSERT_EQ(result, CommandResult::Done) << ::testing::PrintToString(user_.messages);
    Chain chain = card.FreeHighestFirst();
    chain.resize(size);
    const Chain old = card.files.at(slot).chain;
    card.Remove(slot, old);
    card.Place(slot, upload, chain);
    EXPECT_EQ(card.FreeBlocks(), free + old.size() - size);
    EXPECT_EQ(FirstDifference(sim_.ReadPage(), Render(card)), "");
  }
}

// Deleted entries are cleared; of their blocks only those of a chain that
// reaches its end marker, and that no other entry reaches, are freed; every
// other byte stays, on damaged cards too.
TEST_F(RandomCardTest, DeleteFreesOnlyWhatWasTheFilesOwn) {
  for (std::uint32_t seed = 1; seed <= kSeeds; ++seed) {
    SCOPED_TRACE("card of seed " + std::to_string(seed));
    Card card = MakeCard(seed);
    std::vector<std::uint16_t> slots = Slots(card);
    if (slots.empty()) continue;
    Load(card);
    std::mt19937 rng(seed + 3000);
    // A damaged file first, if there is one, then any.
    std::stable_partition(slots.begin(), slots.end(),
                          [&](std::uint16_t slot) { return !card.Sound(slot); });
    const bool damaged = !card.Sound(slots[0]);
    std::vector<ListedFile> doomed;
    for (int n = Pick(rng, 1, std::min<int>(3, static_cast<int>(slots.size()))); n > 0; --n) {
      const auto k =
          damaged && doomed.empty()
              ? 0
              : static_cast<std::size_t>(Pick(rng, 0, static_cast<int>(slots.size()) - 1));
      doomed.push_back(Listed(slots[k], card.files.at(slots[k])));
      slots.erase(slots.begin() + static_cast<std::ptrdiff_t>(k));
    }
    user_.AnswerNextQuestion(true);
    ASSERT_EQ(DeleteFiles(*card_, doomed, user_), CommandResult::Done)
        << ::testing::PrintToString(user_.messages);
    std::vector<bool> kept(256, false);
    for (const std::uint16_t slot : slots)
      for (const std::uint16_t b : card.WalkFrom(card.files.at(slot).First()).blocks)
        kept[b] = true;
    const std::uint16_t free = card.FreeBlocks();
    std::size_t freed = 0;
    for (const ListedFile& file : doomed) {
      const Walk walk = card.WalkFrom(card.files.at(file.index).First());
      Chain own;
      for (const std::uint16_t b : walk.blocks)
        if (walk.end == End::Last && !kept[b]) own.push_back(b);
      freed += own.size();
      card.Remove(file.index, own);
    }
    EXPECT_EQ(card.FreeBlocks(), free + freed);
    EXPECT_EQ(FirstDifference(sim_.ReadPage(), Render(card)), "");
  }
}

// Every file keeps its entry (but for the first block) and its bytes; a game
// stays at block 0; the data files lie one after another from block 199
// down, each in one descending run, and the free blocks in one run below.
TEST_F(RandomCardTest, DefragmentKeepsEveryFileAndLeavesOneFreeRun) {
  for (std::uint32_t seed = 1; seed <= kPageSeeds; ++seed) {
    SCOPED_TRACE("card of seed " + std::to_string(seed));
    const Card card = Generate(seed);
    Load(card);
    const CommandResult result = DefragmentPage(*card_, SafetyCopies{}, progress_, user_);
    // Each free block is passed through at most once, so blocks waiting on
    // each other's places may outnumber them on a nearly full card.
    if (result == CommandResult::Failed && card.FreeBlocks() < kFewFreeBlocks) {
      EXPECT_EQ(user_.messages, Lines{message::kDefragNoRoom.text});
      EXPECT_EQ(FirstDifference(sim_.ReadPage(), before_), "");
      continue;
    }
    ASSERT_EQ(result, CommandResult::Done) << ::testing::PrintToString(user_.messages);
    const Card after = Read(sim_.ReadPage());
    ASSERT_EQ(after.files.size(), card.files.size());
    std::vector<std::uint16_t> data;
    for (const auto& [slot, file] : card.files) {
      ASSERT_EQ(after.files.count(slot), 1u) << "slot " << slot;
      const File& moved = after.files.at(slot);
      EXPECT_TRUE(after.Sound(slot)) << "slot " << slot;
      EXPECT_EQ(moved.data, file.data) << "slot " << slot;
      Bytes entry = moved.entry;
      std::copy_n(file.entry.begin() + kFirst, 2, entry.begin() + kFirst);
      EXPECT_EQ(entry, file.entry) << "slot " << slot;
      if (file.Game()) {
        EXPECT_EQ(moved.chain, file.chain);
        continue;
      }
      for (std::size_t k = 1; k < moved.chain.size(); ++k)
        EXPECT_EQ(moved.chain[k], moved.chain[k - 1] - 1) << "slot " << slot;
      data.insert(data.end(), moved.chain.begin(), moved.chain.end());
    }
    std::sort(data.rbegin(), data.rend());
    for (std::size_t k = 0; k < data.size(); ++k)
      EXPECT_EQ(data[k], kUserBlocks - 1 - k);
    const Chain free = after.FreeHighestFirst();
    EXPECT_EQ(free.size(), card.FreeBlocks());
    if (!free.empty()) {
      EXPECT_EQ(free.front(), kUserBlocks - 1 - data.size());
      EXPECT_EQ(free.front() - free.back() + 1u, free.size());
    }
  }
}

// A generated card is sound; a harmed one gets exactly the findings the
// model expects of its harm, from the checker on every card and from the
// command, which reads the whole page over the link, on the first few. A
// check alone writes nothing.
TEST_F(RandomCardTest, CheckFindsExactlyWhatTheGeneratorHarmed) {
  for (std::uint32_t seed = 1; seed <= kSeeds; ++seed) {
    SCOPED_TRACE("card of seed " + std::to_string(seed));
    Lines findings, found;
    const Card card = MakeCard(seed, &findings);
    std::sort(findings.begin(), findings.end());
    for (const PageFinding& finding : CheckPage(Render(card)).findings)
      if (!finding.text.empty()) found.push_back(finding.text);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, findings);
    if (seed > kPageSeeds) continue;
    Load(card);
    CheckVerdict verdict;
    ASSERT_EQ(CheckCard(*card_, CheckRequest{}, SafetyCopies{}, progress_, user_, verdict),
              CommandResult::Done);
    ASSERT_EQ(user_.messages.size(), 1u);
    EXPECT_EQ(verdict.sound, findings.empty());
    findings.insert(findings.begin(),
                    findings.empty() ? message::kCheckSound.text : message::kCheckDamaged.text);
    if (!findings.empty() && !verdict.sound && !verdict.mendable) {
      findings.push_back(std::string(message::kRepairCannotMend.text) + "  " +
                         message::kDamagedFilesStillThere.text);
      std::sort(findings.begin() + 1, findings.end());
    }
    EXPECT_EQ(SortedLines(user_.messages[0]), findings);
    EXPECT_EQ(FirstDifference(sim_.ReadPage(), before_), "");
  }
}
}  // namespace
