// Every command that writes the card, on a copy of a real, fragmented card
// image whose disk fills up at the command's N-th write, for every N it
// reaches: the command fails with one message naming the reason, the file is
// left as before that write, the card's memory as the file, every file that
// was on the card is byte for byte as before unless the command was to change
// it, the card is consistent but for used blocks no entry names, and a safety
// copy is the page before. The expectations come from the files alone. The
// image is reached three ways: through the simulated wire, read as a file,
// and in a slot of the simulated USB adapter.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "AdapterTransport.h"
#include "CardConsistency.h"
#include "CardOnSimulator.h"
#include "CareCommands.h"
#include "DciFile.h"
#include "DcmFile.h"
#include "FileCommands.h"
#include "ImageTransport.h"
#include "ManualClock.h"
#include "PageCommands.h"
#include "RealData.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"
#include "SimulatedAdapter.h"

namespace {
using Bytes = std::vector<std::uint8_t>;
using card_format::kPageSize;
const std::string kData = RealData("");
const std::string kUpload = kData + "dci/kiss-psycho-circus-the-nightmare-child.29341";
const std::string kReplacement = kData + "dci/project-justice.882.bin";  // S.ARCADIA001's new bytes
enum Command { kUploadFile, kReplace, kDelete, kDefragment, kFormat, kRepair, kRestore };
const char* const kNames[] = {"Upload", "Replace", "Delete", "Defragment",
                              "Format", "Repair",  "Restore"};
enum Road { kWire, kFile, kAdapter };
const char* const kRoads[] = {"OnTheWire", "OnTheFile", "OnTheAdapter"};

// The image's write calls, counted. The disk fills up during the N-th, which
// takes half its bytes; the call after it is refused. The file as it stood
// before the N-th is kept.
struct Disk {
  static inline std::string image;
  static inline long writes = 0, fullAt = 0;
  static inline Bytes before;
  static long Write(int fd, const void* bytes, std::size_t size) {
    if (++writes == fullAt) {
      before = ReadBytes(image);
      return RealFileCalls().write(fd, bytes, size / 2);
    }
    if (fullAt == 0 || writes != fullAt + 1) return RealFileCalls().write(fd, bytes, size);
    errno = ENOSPC;
    return -1;
  }
};

CPageImage Page(const Bytes& storage) {
  CPageImage page;
  std::copy(storage.begin(), storage.end(), page.GetData());
  return page;
}

// ReadFiles_01 holds S.ARCADIA001 (slot 0) in two runs, ZOMBIE_U_SYS (slot
// 6) below a hole and a game at block 0; Repair's copy has four used blocks
// more that no entry names.
class FailedWrite : public ::testing::TestWithParam<std::tuple<Command, Road>> {
 protected:
  static Command TheCommand() { return std::get<0>(GetParam()); }
  static Road TheRoad() { return std::get<1>(GetParam()); }

  void SetUp() override {
    KORVANTIS_NEED_REALDATA("dci/project-justice.882.bin");
    start_ = ReadBytes(kData + "images/ReadFiles_01.vmu");
    CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, 0, 2);
    entry.SetFileName("S.ARCADIA001");
    ASSERT_TRUE(CDciFile::Write(scratch_.File("new.dci"), entry, ReadBytes(kReplacement)).Ok());
    Bytes incoming = ReadBytes(kData + "images/PACit.bin");  // what Restore writes
    card_format::ReverseGroups(incoming.data(), kPageSize);
    ASSERT_TRUE(SaveDcmFile(scratch_.File("page.dcm"), incoming.data()).Ok());
    if (TheCommand() != kRepair) return;
    CPageImage page = Page(start_);
    for (std::uint16_t block = 100; block < 104; ++block)
      page.SetFatEntry(block, block == 103 ? 0xFFFA : block + 1);
    start_.assign(page.GetData(), page.GetData() + kPageSize);
  }

  CommandResult Run(CVmuCard& card, CScriptedProgress& progress, CScriptedUser& user) {
    const SafetyCopies copies{scratch_.File("copies"), 1};
    CheckVerdict verdict;
    user.AnswerNextQuestion(true);
    user.AnswerNextChoice(scratch_.File("page.dcm"));
    switch (TheCommand()) {
      case kUploadFile:
        return UploadFile(card, kUpload + ".dci", progress, user);
      case kReplace:
        return UploadFile(card, scratch_.File("new.dci"), progress, user);
      case kDelete:
        return DeleteFiles(card, {0, 6}, user);
      case kDefragment:
        return DefragmentPage(card, copies, progress, user);
      case kFormat:
        return FormatPage(card, copies, progress, user);
      case kRepair:
        return CheckCard(card, CheckRequest{true}, copies, progress, user, verdict);
      case kRestore:
        return RestorePage(card, copies, progress, user);
    }
    return CommandResult::Failed;
  }

  // Runs the command on a fresh copy of the card, the disk filling up at its
  // fullAt-th write (0: never); what the user was shown.
  std::vector<std::string> RunOn(long fullAt, CommandResult& result) {
    std::filesystem::remove_all(scratch_.File("copies"));
    Disk::image = scratch_.File("card.vmu");
    WriteBytes(Disk::image, start_);
    Disk::writes = 0;
    Disk::fullAt = fullAt;
    FileCalls calls = RealFileCalls();
    calls.write = Disk::Write;
    CSimulatedCard sim;
    CManualClock clock;
    auto adapter = std::make_unique<CSimulatedAdapter>(clock);
    const CSimulatedAdapter& slots = *adapter;
    std::unique_ptr<CVmuCard> card;
    if (TheRoad() == kAdapter) {
      EXPECT_TRUE(adapter->InsertImage({0, 1}, Disk::image, ImageAccess::Write, calls).Ok());
      card = std::make_unique<CVmuCard>(
          std::make_unique<CAdapterTransport>(std::move(adapter), clock, CardSlot{0, 1}));
    } else {
      EXPECT_TRUE(sim.OpenImage(Disk::image, ImageAccess::Write, calls).Ok());
    }
    if (TheRoad() == kFile) {
      card = std::make_unique<CVmuCard>(std::make_unique<CImageTransport>(sim));
    } else if (TheRoad() == kWire) {
      card = std::make_unique<CVmuCard>(std::make_unique<CSimulatedPortRoad>(sim));
      card->GetLink()->SetDelayFactor(0);
      card->GetLink()->SetTimeout(2000);
    }
    CScriptedProgress progress;
    CScriptedUser user;
    result = Run(*card, progress, user);
    Bytes file = ReadBytes(Disk::image);  // storage order, as the adapter's card holds it
    if (TheRoad() != kAdapter) card_format::ReverseGroups(file.data(), file.size());
    const std::uint8_t* memory = TheRoad() == kAdapter ? slots.GetPage({0, 1}) : sim.GetPage(0);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), memory)) << "memory and file differ";
    return user.messages;
  }

  // Every file that was on the card is there, byte for byte, unless the
  // command may remove or rewrite it; a file new to the card is whole.
  void ExpectFilesKept(const CPageImage& after) {
    EXPECT_EQ(ConsistencyProblems(after, true), std::vector<std::string>{});
    const FileChanges changes = CompareFiles(Page(start_), after);
    for (const std::string& name : changes.gone) {
      EXPECT_TRUE((TheCommand() == kDelete && (name == "S.ARCADIA001" || name == "ZOMBIE_U_SYS")) ||
                  TheCommand() == kFormat)
          << name << " is gone";
    }
    for (const std::string& name : changes.changed) {
      EXPECT_TRUE(TheCommand() == kReplace && name == "S.ARCADIA001" &&
                  ChainBytes(after, FindFile(after, name).chain) == ReadBytes(kReplacement))
          << name << " changed";
    }
    for (const std::string& name : changes.added) {
      EXPECT_TRUE(TheCommand() == kUploadFile &&
                  ChainBytes(after, FindFile(after, name).chain) == ReadBytes(kUpload + ".bin"))
          << name << " appeared";
    }
  }

  CScratchDirectory scratch_;
  Bytes start_;
};

TEST_P(FailedWrite, StopsTheCommandThereAndLosesNoFile) {
  CommandResult result{};
  RunOn(0, result);
  ASSERT_EQ(result, CommandResult::Done);
  const long total = Disk::writes;

  // Every N up to 60 writes; past that (defragment, restore), the first and
  // last eight and about twenty between, at an odd stride so that every unit
  // of a block gets its turn: each run reads the whole page over the wire.
  // The adapter shares the wire's rules below its road, so a few N do there.
  const long stride = TheRoad() == kAdapter ? total / 3 | 1 : total / 20 | 1;
  const long ends = TheRoad() == kAdapter ? 2 : 8;
  for (long n = 1; n <= total; ++n) {
    if ((total > 60 || TheRoad() == kAdapter) && n > ends && n + ends <= total && n % stride != 0)
      continue;
    SCOPED_TRACE("the disk full at write " + std::to_string(n) + " of " + std::to_string(total));
    const std::vector<std::string> messages = RunOn(n, result);
    EXPECT_EQ(result, CommandResult::Failed);
    const auto naming = std::count_if(messages.begin(), messages.end(), [](const std::string& m) {
      return m.find(std::strerror(ENOSPC)) != std::string::npos;
    });
    EXPECT_TRUE(naming == 1 &&
                (messages.size() == 1 || TheCommand() == kRestore));  // it may say more
    const Bytes after = ReadBytes(Disk::image);
    EXPECT_LE(Disk::writes, n + 2) << "more than the refused unit's put-back came after";
    EXPECT_TRUE(after == Disk::before) << "the file is not as before the refused unit";
    if (TheCommand() != kRestore) {
      ExpectFilesKept(Page(after));
    } else {  // the new page up to the refused unit, the old one from there on
      const Bytes incoming = ReadBytes(kData + "images/PACit.bin");
      std::size_t at = 0;
      while (at < kPageSize && std::equal(&after[at], &after[at] + 128, &incoming[at]))
        at += 128;
      EXPECT_TRUE(std::equal(after.begin() + at, after.end(), start_.begin() + at)) << at;
    }
    Bytes copy;  // the safety copy, in storage order
    std::error_code none;
    for (const auto& file : std::filesystem::directory_iterator(scratch_.File("copies"), none))
      copy = ReadBytes(file.path().string());
    card_format::ReverseGroups(copy.data(), copy.size());
    EXPECT_TRUE(TheCommand() >= kDefragment ? copy == start_ : copy.empty()) << "the safety copy";
  }
}

INSTANTIATE_TEST_SUITE_P(EveryWritingCommand, FailedWrite,
                         ::testing::Combine(::testing::Values(kUploadFile, kReplace, kDelete,
                                                              kDefragment, kFormat, kRepair,
                                                              kRestore),
                                            ::testing::Values(kWire, kFile, kAdapter)),
                         [](const auto& test) {
                           return std::string(kNames[std::get<0>(test.param)]) +
                                  kRoads[std::get<1>(test.param)];
                         });

}  // namespace
