#include <filesystem>
#include <set>

#include "FileCommandTest.h"
#include "Messages.h"
#include "RealData.h"
#include "VmuFat.h"

namespace {

const std::string kCannotRead = "File could not be read.";

class UploadFileTest : public FileCommandTest {
 protected:
  CommandResult Upload(const Bytes& dci) {
    WriteBytes(path_, dci);
    user_.AnswerNextChoice(path_);
    return UploadFile(sim_.Card(), progress_, user_);
  }
  // Each case starts over with a fresh formatted card; only the given user
  // blocks are free when free is given.
  void FreshCard(const std::set<int>* free = nullptr) {
    page_ = CPageImage::Formatted();
    for (std::uint16_t block = 0; free != nullptr && block < 200; ++block) {
      page_.SetFatEntry(block, free->count(block) ? CVmuFat::kFree : CVmuFat::kLastBlock);
    }
    Load();
    user_.messages.clear();
  }
  static Bytes DataDci(std::uint16_t size) {
    return Dci(Entry(CVmuDirEntry::kData, "DATA", 0, size), Blocks(size));
  }
  // Removes a file as the console deletes one: its entry and its chain freed.
  void Delete(const std::string& name) {
    page_ = sim_.ReadPage();
    const PageFile file = FindFile(page_, name);
    EntrySlot(page_, file.slot)[0] = 0;
    for (const std::uint16_t block : file.chain)
      page_.SetFatEntry(block, CVmuFat::kFree);
    Load();
  }
  // The card holds blocks (storage order) along the chain of the file of that name.
  void ExpectHolds(const std::string& name, const Bytes& blocks) {
    const CPageImage card = sim_.ReadPage();
    EXPECT_EQ(ChainBytes(card, FindFile(card, name).chain), blocks) << name;
  }
  const std::string path_ = scratch_.File("in.dci");
};

TEST_F(UploadFileTest, WritesDataThenChainThenEntryWithTheFewestTransfers) {
  Place(0, Entry(CVmuDirEntry::kData, "OLD", 100, 2), Blocks(2));
  Place(2, Entry(CVmuDirEntry::kData, "OLDER", 50, 1), Blocks(1));
  Load();
  CVmuDirEntry entry = Entry(CVmuDirEntry::kData, "UPLOADED", 7, 3, 0xFF);
  std::memset(entry.GetData() + card_format::kEntryHeaderOffset, 0xAB, 6);
  Bytes dci = Blocks(3);  // the file holds 00 01 02 03 ...
  dci.insert(dci.begin(), entry.GetData(), entry.GetData() + CVmuDirEntry::kLength);
  dci.insert(dci.end(), 64, 0xEE);  // ignored

  EXPECT_EQ(Upload(dci), CommandResult::Done);
  // Every directory block is read, all in one transfer from block 241 up:
  // no other entry may have the name.
  Words expected = {"R255", "R254",
                    "R@" + std::to_string(241 * 512) + "#" + std::to_string(13 * 512)};
  for (int block : {199, 198, 197, 254, 253})
    for (const std::string& unit : CCardOnSimulator::BlockStore(block))
      expected.push_back(unit);
  EXPECT_EQ(sim_.TakeTransfers(), expected);

  // The file's wire order becomes storage order on the card.
  Bytes stored = Blocks(3);
  card_format::ReverseGroups(stored.data(), stored.size());
  ExpectHolds("UPLOADED", stored);
  const PageFile file = FindFile(sim_.ReadPage(), "UPLOADED");
  EXPECT_EQ(file.slot, 1);  // the lowest free slot
  EXPECT_EQ(file.chain, (std::vector<std::uint16_t>{199, 198, 197}));
  entry.SetFirstBlock(199);
  EXPECT_EQ(file.entry, Bytes(entry.GetData(), entry.GetData() + CVmuDirEntry::kLength));

  EXPECT_EQ(progress_.upper, 3);
  EXPECT_EQ(progress_.positions, (std::vector<std::int32_t>{0, 1, 2}));
  EXPECT_FALSE(progress_.open);
  EXPECT_TRUE(user_.messages.empty());
  ExpectConsistent();
}

// Free space with holes is used from the highest free block down, as the
// console does; each upload reads back byte for byte.
TEST_F(UploadFileTest, HolesLeftByDeletedFilesAreFilledFromTheTop) {
  // Files of 3, 2 and 3 blocks, the middle one deleted: a 3-block upload fits.
  FreshCard();
  for (const auto& [name, size] :
       {std::pair<const char*, std::uint16_t>{"A", 3}, {"B", 2}, {"C", 3}})
    ASSERT_EQ(Upload(Dci(Entry(CVmuDirEntry::kData, name, 0, size), Blocks(size))),
              CommandResult::Done);
  Delete("B");
  ASSERT_EQ(Upload(Dci(Entry(CVmuDirEntry::kData, "D", 0, 3), Blocks(3, 9))), CommandResult::Done);
  EXPECT_EQ(FindFile(sim_.ReadPage(), "D").chain, (std::vector<std::uint16_t>{196, 195, 191}));
  ExpectHolds("D", Blocks(3, 9));
  ExpectConsistent();

  // A card of 2-block files with every other one deleted: a 70-block file
  // runs through 35 holes.
  page_ = CPageImage::Formatted();
  for (std::uint16_t i = 0; i < 100; ++i) {
    if (i % 2 == 1) continue;
    Place(i,
          Entry(CVmuDirEntry::kData, "F" + std::to_string(i),
                static_cast<std::uint16_t>(199 - 2 * i), 2),
          Blocks(2, static_cast<std::uint8_t>(i)));
  }
  Load();
  const std::vector<std::uint16_t> free = FreeUserBlocks(page_);
  ASSERT_EQ(free.size(), 100u);
  ASSERT_EQ(Upload(Dci(Entry(CVmuDirEntry::kData, "LONG", 0, 70), Blocks(70, 5))),
            CommandResult::Done);
  EXPECT_EQ(FindFile(sim_.ReadPage(), "LONG").chain,
            std::vector<std::uint16_t>(free.begin(), free.begin() + 70));
  ExpectHolds("LONG", Blocks(70, 5));
  for (std::uint16_t i = 0; i < 100; i += 2)
    ExpectHolds("F" + std::to_string(i), Blocks(2, static_cast<std::uint8_t>(i)));
  ExpectConsistent();
}

TEST_F(UploadFileTest, SpaceIsRefusedOnlyWhenTooFewBlocksAreFreeWithTheTrueCount) {
  const std::string lead =
      "There is not enough free space on this memory card.  This file requires ";
  const struct {
    std::set<int> free;
    std::uint16_t size;
    std::string message;
  } refusals[] = {
      {{199, 150, 3}, 4, "4 blocks, but there are only 3 blocks free on this memory card."},
      {{}, 1, "1 block, but there are no blocks free on this memory card."},
      {{120}, 2, "2 blocks, but there is only 1 block free on this memory card."},
  };
  for (const auto& refusal : refusals) {
    FreshCard(&refusal.free);
    EXPECT_EQ(Upload(DataDci(refusal.size)), CommandResult::Failed);
    EXPECT_EQ(user_.messages, Words{lead + refusal.message});
    EXPECT_FALSE(HasWrites(sim_.TakeTransfers()));
  }
}

// A name already on the card is refused unless the user agrees to replace
// it; a replace writes the new version into free blocks, points the same
// slot at it and only then frees the old blocks.
TEST_F(UploadFileTest, ANameOnTheCardIsReplacedOnlyWhenTheUserAgrees) {
  const Bytes old = Blocks(3, 1);
  Place(0, Entry(CVmuDirEntry::kData, "OTHER", 199, 2), Blocks(2, 2));
  Place(4, Entry(CVmuDirEntry::kData, "SAVE", 197, 3), old);
  Load();
  const Bytes newer = Dci(Entry(CVmuDirEntry::kData, "SAVE", 0, 4), Blocks(4, 7));

  EXPECT_EQ(Upload(newer), CommandResult::Failed);  // unanswered: No
  EXPECT_EQ(user_.questions, Words{"There is already a file named \"SAVE\" on this memory card.  "
                                   "Do you want to replace it?"});
  EXPECT_EQ(user_.messages, Words{"The file was not uploaded: there is already a file named "
                                  "\"SAVE\" on this memory card."});
  EXPECT_FALSE(HasWrites(sim_.TakeTransfers()));

  // A card swapped while the question is open, whose SAVE lies elsewhere, is left alone.
  CPageImage swapped = CPageImage::Formatted();
  ASSERT_TRUE(swapped.PlaceFile(4, Entry(CVmuDirEntry::kData, "SAVE", 190, 3), old.data()));
  user_.whileAsked = [&] { sim_.SwapCard(swapped); };
  user_.AnswerNextQuestion(true);
  user_.messages.clear();
  EXPECT_EQ(Upload(newer), CommandResult::Failed);
  EXPECT_EQ(user_.messages, Words{message::kCardChanged.text});
  EXPECT_EQ(std::memcmp(sim_.ReadPage().GetData(), swapped.GetData(), card_format::kPageSize), 0);
  Load();

  user_.AnswerNextQuestion(true);
  user_.messages.clear();
  EXPECT_EQ(Upload(newer), CommandResult::Done);
  EXPECT_TRUE(user_.messages.empty());
  const PageFile save = FindFile(sim_.ReadPage(), "SAVE");
  EXPECT_EQ(save.slot, 4);
  EXPECT_EQ(save.chain, (std::vector<std::uint16_t>{194, 193, 192, 191}));
  ExpectHolds("SAVE", Blocks(4, 7));
  ExpectHolds("OTHER", Blocks(2, 2));
  ExpectConsistent();  // the old blocks are free: no used block is in no file

  // Both versions must fit at once: with 2 blocks free, a 3-block
  // replacement is refused before the question, and nothing is written.
  std::set<int> two = {10, 11};
  FreshCard(&two);
  Place(0, Entry(CVmuDirEntry::kData, "SAVE", 150, 3), old);
  Load();
  user_.questions.clear();
  EXPECT_EQ(Upload(Dci(Entry(CVmuDirEntry::kData, "SAVE", 0, 3), Blocks(3))),
            CommandResult::Failed);
  EXPECT_EQ(user_.messages,
            Words{"There is not enough free space on this memory card to replace the file, which "
                  "stays on the card until its new version is written.  This file requires 3 "
                  "blocks, but there are only 2 blocks free on this memory card."});
  EXPECT_TRUE(user_.questions.empty());
  EXPECT_FALSE(HasWrites(sim_.TakeTransfers()));
}

// Decided in advance, nothing is asked: Never and No refuse as a No does and
// say what they declined; Always and Yes write.
TEST_F(UploadFileTest, DecisionsPassedInAreFollowedWithoutAQuestion) {
  Place(0, Entry(CVmuDirEntry::kData, "SAVE", 199, 1), Blocks(1, 1));
  Load();
  WriteBytes(path_, Dci(Entry(CVmuDirEntry::kData, "SAVE", 0, 2), Blocks(2, 7)));
  const std::string lone = scratch_.File("lone.vms");
  WriteBytes(lone, Blocks(1, 3));

  const UploadDecisions never{Replace::Never, LoneVms::No, Defragment::Ask, {}, {}};
  Declined declined = Declined::Nothing;
  EXPECT_EQ(UploadFile(sim_.Card(), path_, progress_, user_, never, &declined),
            CommandResult::Failed);
  EXPECT_EQ(declined, Declined::Replace);
  EXPECT_EQ(user_.messages.back(),
            "The file was not uploaded: there is already a file named "
            "\"SAVE\" on this memory card.");
  EXPECT_EQ(UploadFile(sim_.Card(), lone, progress_, user_, never, &declined),
            CommandResult::Failed);
  EXPECT_EQ(declined, Declined::LoneVms);
  EXPECT_EQ(user_.messages.back(), lone + " was not uploaded: it has no VMI file beside it.");
  EXPECT_FALSE(HasWrites(sim_.TakeTransfers()));

  const UploadDecisions always{Replace::Always, LoneVms::Yes, Defragment::Ask, {}, {}};
  ASSERT_EQ(UploadFile(sim_.Card(), path_, progress_, user_, always), CommandResult::Done);
  ASSERT_EQ(UploadFile(sim_.Card(), lone, progress_, user_, always), CommandResult::Done);
  ExpectHolds("SAVE", Blocks(2, 7));
  ExpectHolds("lone", Blocks(1, 3));
  EXPECT_TRUE(user_.questions.empty());
  ExpectConsistent();
}

TEST_F(UploadFileTest, FilesThatAreNotWholeFilesAreRefusedBeforeAnyCardAccess) {
  Bytes truncated = DataDci(3);
  truncated.pop_back();
  const std::pair<Bytes, std::string> refusals[] = {
      {truncated, kCannotRead},
      {Bytes(31, 0x33), kCannotRead},
      {Dci(Entry(CVmuDirEntry::kData, "EMPTY", 0, 0), {}), kCannotRead},
      {Dci(Entry(0x00, "FREE", 0, 1), Blocks(1)), kCannotRead},
  };
  for (const auto& [dci, message] : refusals) {
    user_.messages.clear();
    EXPECT_EQ(Upload(dci), CommandResult::Failed);
    EXPECT_EQ(user_.messages, Words{message});
  }
  std::filesystem::remove(path_);
  user_.AnswerNextChoice(path_);
  EXPECT_EQ(UploadFile(sim_.Card(), progress_, user_), CommandResult::Failed);
  EXPECT_EQ(user_.messages.back(), kCannotRead + " (No such file or directory)");
  EXPECT_EQ(UploadFile(sim_.Card(), progress_, user_), CommandResult::Dismissed);
  EXPECT_EQ(sim_.Sim().GetCounters().transactions, 0u);
}

TEST_F(UploadFileTest, CardsThatCannotTakeTheFileSafelyAreLeftUnwritten) {
  constexpr std::uint32_t kEntryCount = card_format::kRootDirectoryEntryCount;
  constexpr std::uint32_t kFatStart = card_format::kRootFatStart;
  constexpr std::uint32_t kDirectoryStart = card_format::kRootDirectoryStart;
  constexpr std::uint32_t kDirectoryBlocks = card_format::kRootDirectoryBlockCount;
  // No entry examined (free slots lie beyond the count); the allocation table
  // among the user blocks or over the root; the directory over the table, off
  // the page, or reaching down into the user blocks; no format marker.
  const struct {
    std::uint32_t field;
    std::uint16_t value;
  } roots[] = {{kEntryCount, 0},
               {kFatStart, 150},
               {kFatStart, 255},
               {kDirectoryStart, 254},
               {kDirectoryStart, 300},
               {kDirectoryBlocks, 60},
               {card_format::kRootFormatMarker, 0}};
  for (const auto& root : roots) {
    FreshCard();
    SetRootField(root.field, root.value);
    Load();
    EXPECT_EQ(Upload(DataDci(1)), CommandResult::Failed) << root.field << " " << root.value;
    ASSERT_EQ(user_.messages.size(), 1u);
    const char* expected = root.field == kEntryCount ? "no free directory entry"
                           : root.field == card_format::kRootFormatMarker ? "not formatted"
                                                                          : "nothing was written";
    EXPECT_NE(user_.messages[0].find(expected), std::string::npos);
    EXPECT_FALSE(HasWrites(sim_.TakeTransfers()));
  }
}

TEST_F(UploadFileTest, RealDataFilesTravelBothWaysByteForByte) {
  KORVANTIS_NEED_REALDATA("dci");
  const std::filesystem::path folder = RealData("dci");
  int dataFiles = 0;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    if (item.path().extension() != ".dci") continue;
    const Bytes original = ReadBytes(item.path().string());
    FreshCard();
    sim_.Sim().ResetCounters();
    user_.AnswerNextChoice(item.path().string());
    const CommandResult result = UploadFile(sim_.Card(), progress_, user_);
    if (original[card_format::kEntryType] ==
        CVmuDirEntry::kGame) {  // tetr.dci, a game: from block 0 up
      ASSERT_EQ(result, CommandResult::Done);
      EXPECT_EQ(FindFile(sim_.ReadPage(), std::string(&original[4], &original[16])).chain,
                (std::vector<std::uint16_t>{0, 1, 2, 3, 4, 5, 6}));
      ExpectConsistent();
      continue;
    }
    ++dataFiles;
    ASSERT_EQ(result, CommandResult::Done) << item.path();
    user_.AnswerNextChoice(path_);
    ASSERT_EQ(DownloadFile(*sim_.MakeCard(), 0, progress_, user_), CommandResult::Done);
    Bytes back = ReadBytes(path_);
    EXPECT_EQ(card_format::GetLe16(&back[2]), 199);  // the first block on this card
    back[2] = original[2];
    back[3] = original[3];
    EXPECT_EQ(back, original) << item.path();
    ExpectConsistent();
  }
  EXPECT_EQ(dataFiles, 2);
}

}  // namespace

namespace {
// A game goes from block 0 up, after a defragment when data files are there
// and the user agrees, and one game a page.
TEST_F(UploadFileTest, AGameGoesFromBlockZeroUpAfterMakingRoomThere) {
  FreshCard();
  Place(0, Entry(CVmuDirEntry::kData, "LOW", 1, 2), Blocks(2, 9));  // blocks 1 and 0
  Load();
  const Bytes game = Dci(Entry(CVmuDirEntry::kGame, "GAME", 0, 3), Blocks(3, 5));
  const std::string refused =
      "The game needs blocks 0 to 2, but data files use some of them, so it was not uploaded.";
  EXPECT_EQ(Upload(game), CommandResult::Failed);  // no defragment to offer
  EXPECT_EQ(user_.messages.back(), refused);
  int defragments = 0;
  UploadDecisions decisions;
  decisions.runDefragment = [&](CVmuCard& card, CProgress&, CUserPrompts&) {
    ++defragments;
    EXPECT_EQ(&card, &sim_.Card());     // the upload's own card
    CPageImage page = sim_.ReadPage();  // as a defragment leaves it
    const PageFile low = FindFile(page, "LOW");
    PlaceChain(page, low.slot, low.entry.data(), {199, 198}, ChainBytes(page, low.chain));
    for (const std::uint16_t block : low.chain)
      page.SetFatEntry(block, CVmuFat::kFree);
    sim_.LoadPage(page);
    return CommandResult::Done;
  };
  WriteBytes(path_, game);
  Declined declined = Declined::Nothing;
  for (const Defragment no : {Defragment::No, Defragment::Ask}) {
    decisions.defragment = no;  // and the question's default
    EXPECT_NE(UploadFile(sim_.Card(), path_, progress_, user_, decisions, &declined),
              CommandResult::Done);
    EXPECT_EQ(declined, Declined::Defragment);
  }
  EXPECT_EQ(user_.messages.back(), refused);
  EXPECT_EQ(user_.questions, Words{"The game needs blocks 0 to 2, but data files use some of "
                                   "them.  Defragment the memory card first?"});
  EXPECT_EQ(defragments, 0);
  EXPECT_FALSE(HasWrites(sim_.TakeTransfers()));

  for (const Defragment yes : {Defragment::Ask, Defragment::Yes}) {
    decisions.defragment = yes;
    if (yes == Defragment::Ask) user_.AnswerNextQuestion(true);
    WriteBytes(path_, game);
    EXPECT_EQ(UploadFile(sim_.Card(), path_, progress_, user_, decisions), CommandResult::Done);
    const CPageImage card = sim_.ReadPage();
    EXPECT_EQ(FindFile(card, "GAME").chain, (std::vector<std::uint16_t>{0, 1, 2}));
    EXPECT_EQ(ChainBytes(card, FindFile(card, "GAME").chain), Blocks(3, 5));
    ExpectConsistent();
    EXPECT_EQ(Upload(Dci(Entry(CVmuDirEntry::kGame, "OTHER", 0, 1), Blocks(1))),
              CommandResult::Failed);
    EXPECT_EQ(user_.messages.back(), "There is already a game on this memory card.");
    Delete("GAME");
    Delete("LOW");
    Place(0, Entry(CVmuDirEntry::kData, "LOW", 1, 2), Blocks(2, 9));
    Load();
  }
  EXPECT_EQ(defragments, 2);
  EXPECT_EQ(user_.questions.size(), 2u);  // Yes asks nothing
}
}  // namespace

namespace {
// A game's new version belongs from block 0 up, where its old one lies: it is
// written whole into other free blocks first and moved there once the old one
// is freed, so that a card that stops answering at any point holds one
// version or the other whole.
TEST_F(UploadFileTest, AGameReplacesItsOldVersionWithOneVersionWholeThroughout) {
  const Bytes old = Blocks(3, 1), newer = Blocks(5, 7);
  Place(0, Entry(CVmuDirEntry::kGame, "GAME", 0, 3), old);
  Place(1, Entry(CVmuDirEntry::kData, "SAVE", 199, 2), Blocks(2, 2));
  Load();
  const CPageImage start = page_;
  const Bytes dci = Dci(Entry(CVmuDirEntry::kGame, "GAME", 0, 5), newer);
  EXPECT_EQ(Upload(dci), CommandResult::Failed);  // asked, and No is the default
  EXPECT_EQ(user_.questions, Words{"There is already a file named \"GAME\" on this memory card.  "
                                   "Do you want to replace it?"});

  const UploadDecisions replace{Replace::Always, LoneVms::No, Defragment::No, {}, {}};
  CommandResult result = CommandResult::Failed;
  for (std::int64_t cut = 0; result != CommandResult::Done; ++cut) {
    ASSERT_LT(cut, 200);
    sim_.LoadPage(start);
    sim_.Sim().ResetCounters();
    sim_.Sim().Faults().silentAfter = cut;
    result = UploadFile(sim_.Card(), path_, progress_, user_, replace);
    sim_.Sim().Faults().silentAfter = -1;
    const CPageImage card = sim_.ReadPage();
    const PageFile game = FindFile(card, "GAME");
    ASSERT_TRUE(game.IsSound()) << cut;
    const Bytes held = ChainBytes(card, game.chain);
    EXPECT_TRUE(held == old || held == newer) << cut;
    ExpectHolds("SAVE", Blocks(2, 2));
  }
  EXPECT_EQ(FindFile(sim_.ReadPage(), "GAME").chain, (std::vector<std::uint16_t>{0, 1, 2, 3, 4}));
  ExpectHolds("GAME", newer);
  ExpectConsistent();
  EXPECT_EQ(progress_.message, "Moving the game to block 0...");
}

// The root says how many blocks a game may take; a root that leaves it 0,
// as some tools write it, sets no limit.
TEST_F(UploadFileTest, AGameLargerThanTheRootAllowsIsRefused) {
  SetRootField(card_format::kRootMaxGameBlocks, 4);
  Load();
  EXPECT_EQ(Upload(Dci(Entry(CVmuDirEntry::kGame, "GAME", 0, 5), Blocks(5))),
            CommandResult::Failed);
  EXPECT_EQ(user_.messages, Words{"The game takes 5 blocks, but a game on this memory card may "
                                  "take at most 4 blocks, so it was not uploaded."});
  EXPECT_FALSE(HasWrites(sim_.TakeTransfers()));
  EXPECT_EQ(Upload(Dci(Entry(CVmuDirEntry::kGame, "GAME", 0, 4), Blocks(4))), CommandResult::Done);
  SetRootField(card_format::kRootMaxGameBlocks, 0);
  Load();
  EXPECT_EQ(Upload(Dci(Entry(CVmuDirEntry::kGame, "LARGE", 0, 150), Blocks(150))),
            CommandResult::Done);
}
}  // namespace
