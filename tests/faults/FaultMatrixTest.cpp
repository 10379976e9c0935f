// Every command against every fault the simulated card can show. A command's
// fault-free run says what each of its transactions carries; under a fault,
// the transactions before the first one that fails must reach the card just
// as they did without it, nothing after it may, the user sees the message of
// the layer that failed, and the transaction line is left low.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "DciFile.h"
#include "DcmFile.h"
#include "FakeCounter.h"
#include "FileCommands.h"
#include "PageCommands.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"
#include "StatusCodes.h"
#include "VmuFat.h"
#include "WireDecoder.h"

namespace {
using Bytes = std::vector<std::uint8_t>;
using Words = std::vector<std::string>;
using card_format::kBlockSize;
using card_format::kPageCount;
using card_format::kPageSize;
// The link's clock moves one microsecond per reading, so a wait gives up after
// about this many status reads however fast or loaded the machine is.
constexpr std::uint32_t kTimeout = 200;

// Three files on every page, the third in the directory's second block, so
// that a Refresh reads directory blocks after file headers. An upload of
// kUploadSize blocks goes to blocks 194, 192 and 191, around the third file,
// and to slot 2; a replace gives the second file a new version there.
struct PlacedFile {
  std::uint16_t slot, first, size;
  const char* name;  // also the file's short description
};
constexpr PlacedFile kFiles[] = {
    {0, 199, 3, "FIRST"}, {1, 196, 2, "SECOND"}, {17, 193, 1, "THIRD"}};
constexpr std::uint16_t kUploadSize = 3;
constexpr std::uint16_t kDirtySlot = 5;  // Set Page finds it changed in the cache only

CVmuDirEntry NamedEntry(const char* name, std::uint16_t first, std::uint16_t size) {
  CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, first, size);
  char name12[12] = {};
  std::string(name).copy(name12, sizeof name12);
  entry.SetFileName(name12);
  return entry;
}

Bytes Blocks(std::uint16_t size, const char* description) {
  Bytes blocks(std::size_t{size} * kBlockSize);
  for (std::size_t i = 0; i < blocks.size(); ++i)
    blocks[i] = static_cast<std::uint8_t>(i * 7 + size);
  std::fill_n(blocks.begin(), 16, 0);
  std::string(description).copy(reinterpret_cast<char*>(blocks.data()), 15);
  return blocks;
}

// All four pages in wire order, told apart by block 10.
const Bytes& StartMemory() {
  static const Bytes memory = [] {
    Bytes all(std::size_t{kPageSize} * kPageCount);
    for (std::uint32_t p = 0; p < kPageCount; ++p) {
      CPageImage page = CPageImage::Formatted();
      for (const PlacedFile& f : kFiles)
        page.PlaceFile(f.slot, NamedEntry(f.name, f.first, f.size), Blocks(f.size, f.name).data());
      std::memset(page.GetBlock(10), static_cast<int>(p), kBlockSize);
      card_format::ReverseGroups(page.GetData(), kPageSize);
      std::memcpy(&all[std::size_t{p} * kPageSize], page.GetData(), kPageSize);
    }
    return all;
  }();
  return memory;
}

// A formatted page with noise in its user blocks, in wire order.
Bytes RestoredPage() {
  CPageImage page = CPageImage::Formatted();
  std::memcpy(page.GetData(), NoisePage(7).GetData(), std::size_t{200} * kBlockSize);
  card_format::ReverseGroups(page.GetData(), kPageSize);
  return Bytes(page.GetData(), page.GetData() + kPageSize);
}

// The files the commands are given or write, made once.
const CScratchDirectory& Scratch() {
  static const CScratchDirectory scratch;
  static const bool written = [] {
    return CDciFile::Write(scratch.File("upload.dci"), NamedEntry("UPLOADED", 0, kUploadSize),
                           Blocks(kUploadSize, "UPLOADED"))
               .Ok() &&
           CDciFile::Write(scratch.File("replace.dci"), NamedEntry("SECOND", 0, kUploadSize),
                           Blocks(kUploadSize, "NEW SECOND"))
               .Ok() &&
           SaveDcmFile(scratch.File("restore.dcm"), RestoredPage().data()).Ok();
  }();
  EXPECT_TRUE(written);
  return scratch;
}

// One simulated card holding the start memory, and a card object over a link
// whose every register access is recorded.
struct Rig {
  Rig() {
    for (std::uint32_t p = 0; p < kPageCount; ++p)
      std::memcpy(sim.GetPage(p), &StartMemory()[std::size_t{p} * kPageSize], kPageSize);
    auto owned = std::make_unique<CRecordingPortRoad>(&road);
    recorder = owned.get();
    auto link = std::make_unique<CVmuLink>(std::move(owned), clock);
    link->SetDelayFactor(0);
    link->SetTimeout(kTimeout);
    card = std::make_unique<CVmuCard>(std::move(link));
  }
  Bytes Memory() {
    Bytes all;
    for (std::uint32_t p = 0; p < kPageCount; ++p)
      all.insert(all.end(), sim.GetPage(p), sim.GetPage(p) + kPageSize);
    return all;
  }

  CFakeCounter clock{1000000, 1};
  CSimulatedCard sim;
  CSimulatedPortRoad road{sim};
  CRecordingPortRoad* recorder = nullptr;  // owned by the card's link
  std::unique_ptr<CVmuCard> card;
  CScriptedUser user;
  CScriptedProgress progress;
  FileListing listing;
  FileTexts properties;
  Bytes before;  // the card once the command was prepared
  std::uint32_t startPage = 0;
};

// One transaction of a fault-free run: a read or a write unit at a card
// address, or a page select (address = page).
enum class Kind { Read, Write, Select };
struct Transfer {
  Kind kind;
  std::uint32_t address;
  Bytes unit;
};

std::vector<Transfer> Transfers(const CRecordingPortRoad& recorder) {
  std::vector<Transfer> transfers;
  for (const DecodedTransaction& t : DecodeTransactions(recorder.GetRecords())) {
    const Bytes& s = t.sent;
    std::uint32_t number = s[2] | std::uint32_t{s[3]} << 8;
    if (s[0] == 0x40) {
      transfers.push_back({Kind::Select, number, {}});
      continue;
    }
    number |= std::uint32_t{s[4]} << 16 | std::uint32_t{s[5]} << 24;
    if (s[1] == 0xA9) {
      transfers.push_back({Kind::Read, number, {}});
    } else {
      transfers.push_back({Kind::Write, number, Bytes(s.begin() + 6, s.begin() + 6 + 128)});
    }
  }
  return transfers;
}

// What one transaction comes to under a fault: whether the card acted on it,
// and the link's status when the link saw it fail (kNoError when not). A write
// unit can be dropped unseen: the link does not check the card's answer to it.
struct Effect {
  bool done;
  std::uint32_t code;
};
constexpr Effect kOk{true, status::kNoError}, kDropped{false, status::kNoError};
constexpr Effect kTimedOut{false, status::kTimeout};
constexpr Effect kBadSum{false, status::kBadChecksum};
constexpr Effect kBadAnswer{false, status::kUnexpectedAnswer};

struct ByKind {
  Effect read, write, select;
};
ByKind All(Effect effect) {
  return {effect, effect, effect};
}

struct Fault {
  std::string name;
  std::function<void(CardFaults&)> set;
  std::function<Effect(std::size_t index, Kind kind)> effect;
};

// A fault that acts on every transaction of a kind alike.
Fault Uniform(std::string name, ByKind by, std::function<void(CardFaults&)> set) {
  return {std::move(name), std::move(set), [by](std::size_t, Kind kind) {
            return kind == Kind::Read ? by.read : kind == Kind::Write ? by.write : by.select;
          }};
}

Fault Flip(CardFaults::FlipDirection direction, std::uint32_t byte, ByKind by) {
  const bool toPc = direction == CardFaults::FlipDirection::ToPc;
  return Uniform(std::string(toPc ? "a bit flipped to the PC" : "a bit flipped from the PC") +
                     " in byte " + std::to_string(byte),
                 by, [=](CardFaults& f) {
                   f.flipDirection = direction;
                   f.flipByte = byte;
                 });
}

// Every K up to a few dozen transactions; Restore's 1,024 are sampled (every
// K at both ends and a spread between) to keep the run short.
std::vector<std::size_t> SilentAfterSamples(std::size_t n) {
  std::vector<std::size_t> ks;
  const std::size_t stride = std::max<std::size_t>(1, n / 32);
  for (std::size_t k = 0; k <= n; ++k)
    if (k < 8 || k + 8 > n || k % stride == 0) ks.push_back(k);
  return ks;
}

std::vector<Fault> FaultsFor(std::size_t transfers) {
  using Dir = CardFaults::FlipDirection;
  std::vector<Fault> faults = {
      Uniform("noCard", All(kTimedOut), [](CardFaults& f) { f.noCard = true; }),
      Uniform("statusStuckHigh", All(kTimedOut), [](CardFaults& f) { f.statusStuckHigh = true; }),
      Uniform("wrongAnswers", All(kBadAnswer), [](CardFaults& f) { f.wrongAnswers = true; }),
      // A page select is checked only after the card has acted on it.
      Uniform("wrongChecksum", {kBadSum, kOk, {true, status::kBadChecksum}},
              [](CardFaults& f) { f.wrongChecksum = true; }),
      // Byte 1 carries the card's second answer.
      Flip(Dir::ToPc, 1, All(kBadAnswer)),
      // Byte 8 is the first byte a read returns, betrayed by its echo; a
      // write's answers are not looked at, and a page select is over by then.
      Flip(Dir::ToPc, 8, {kBadSum, kOk, kOk}),
      // Byte 2 is the address's low byte or the page; byte 8 a data byte.
      Flip(Dir::FromPc, 2, {kBadSum, kDropped, kBadSum}),
      Flip(Dir::FromPc, 8, {kBadSum, kDropped, kOk}),
      Uniform("a handshake slower than the timeout", All(kTimedOut),
              [](CardFaults& f) { f.slowHandshakeReads = 10 * kTimeout; }),
      Uniform("a slow handshake within the timeout", All(kOk),
              [](CardFaults& f) { f.slowHandshakeReads = kTimeout / 4; }),
  };
  for (const std::size_t k : SilentAfterSamples(transfers)) {
    faults.push_back({"silentAfter " + std::to_string(k),
                      [k](CardFaults& f) { f.silentAfter = static_cast<std::int64_t>(k); },
                      [k](std::size_t index, Kind) { return index < k ? kOk : kTimedOut; }});
  }
  return faults;
}

// The card as the fault-free run predicts it under a fault: t is the first
// transaction that fails (the run's length when none does).
struct Prediction {
  std::size_t t;
  std::uint32_t code;
  Bytes memory;
  std::uint32_t page;
};

Prediction Predict(const Fault& fault, const std::vector<Transfer>& good, Bytes memory,
                   std::uint32_t page) {
  for (std::size_t i = 0; i < good.size(); ++i) {
    const Transfer& transfer = good[i];
    const Effect effect = fault.effect(i, transfer.kind);
    if (effect.done) {
      if (transfer.kind == Kind::Write) {
        std::copy(transfer.unit.begin(), transfer.unit.end(),
                  memory.begin() + std::size_t{page} * kPageSize + transfer.address % kPageSize);
      }
      if (transfer.kind == Kind::Select) page = transfer.address;
    }
    if (effect.code != status::kNoError) return {i, effect.code, std::move(memory), page};
  }
  return {good.size(), status::kNoError, std::move(memory), page};
}

std::string FirstDifference(const Bytes& actual, const Bytes& expected) {
  const auto at = static_cast<std::size_t>(
      std::mismatch(actual.begin(), actual.end(), expected.begin()).first - actual.begin());
  if (at == actual.size()) return "";
  return "page " + std::to_string(at / kPageSize) + ", block " +
         std::to_string(at % kPageSize / kBlockSize) + ", wire byte " +
         std::to_string(at % kBlockSize);
}

struct Command {
  std::string name;
  std::string answer;                 // the file the user chooses, if asked
  std::function<void(Rig&)> prepare;  // runs fault-free, before the count starts
  std::function<CommandResult(Rig&)> run;
  // The text shown when transaction t is the first to fail with code; empty for none.
  std::function<std::string(std::size_t t, std::uint32_t code)> message;
  // What the command has done, or not, by then.
  std::function<void(Rig&, std::size_t t, const std::vector<Transfer>& good)> check;
};

std::string LinkMessage(std::size_t, std::uint32_t code) {
  return StatusMessage(code);
}

// The user is asked where to save only once everything was read.
void SavedOnlyWhenDone(Rig& rig, std::size_t t, const std::vector<Transfer>& good) {
  EXPECT_EQ(rig.user.choicesAsked.size(), t == good.size() ? 1u : 0u);
}

Command SetPageCommand(std::uint16_t page) {
  const std::uint32_t start = page % kPageCount;  // not the page asked for
  return {"Set Page " + std::to_string(page), "",
          [start](Rig& rig) {
            ASSERT_TRUE(rig.card->GetLink()->SelectPage(static_cast<std::uint16_t>(start)));
            ASSERT_TRUE(rig.card->WriteDirEntry(kDirtySlot, NamedEntry("DIRTY", 100, 1)));
          },
          [page](Rig& rig) { return SetPage(*rig.card, page, rig.user); }, LinkMessage,
          // A write-back that fails drops the change and selects nothing; once
          // the select was tried, whatever its outcome, the cache is dropped.
          // Either way no later command writes the change.
          [](Rig& rig, std::size_t, const std::vector<Transfer>&) {
            EXPECT_EQ(rig.card->GetCache()->GetBlockStatus(CPageImage::kDirectoryStart),
                      CVmuMemory::BlockStatus::NotLoaded);
          }};
}

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = [] {
    std::vector<Command> list = {
        {"Refresh", "", nullptr,
         [](Rig& rig) { return RefreshList(*rig.card, rig.progress, rig.user, rig.listing); },
         // A header that cannot be read leaves its row's descriptions empty;
         // the next directory block's read then reports the silent card.
         LinkMessage,
         [](Rig& rig, std::size_t t, const std::vector<Transfer>& good) {
           if (t == good.size()) {
             EXPECT_EQ(rig.listing.rows.size(), 3u);
           }
         }},
        {"Download", "out.dci", nullptr,
         [](Rig& rig) { return DownloadFile(*rig.card, 0, rig.progress, rig.user); }, LinkMessage,
         SavedOnlyWhenDone},
        {"Upload", "upload.dci", nullptr,
         [](Rig& rig) { return UploadFile(*rig.card, rig.progress, rig.user); }, LinkMessage,
         nullptr},
        {"Replace", "replace.dci", [](Rig& rig) { rig.user.AnswerNextQuestion(true); },
         [](Rig& rig) { return UploadFile(*rig.card, rig.progress, rig.user); }, LinkMessage,
         nullptr},
        {"Properties", "", nullptr,
         [](Rig& rig) { return GetFileProperties(*rig.card, 0, rig.user, rig.properties); },
         // The header is read last (after the root, the table and the
         // directory block): without it the dialog shows empty descriptions.
         [](std::size_t t, std::uint32_t code) {
           return t >= 3 ? std::string() : LinkMessage(t, code);
         },
         [](Rig& rig, std::size_t t, const std::vector<Transfer>& good) {
           EXPECT_EQ(rig.properties.Text(FileColumn::ShortDescription),
                     t == good.size() ? "FIRST" : "");
         }},
        {"Backup", "out.dcm", nullptr,
         [](Rig& rig) { return BackupPage(*rig.card, rig.progress, rig.user); }, LinkMessage,
         SavedOnlyWhenDone},
        // The page left is the units before the failing one, and none after;
        // the restore's last word says which: done, or the page partly written.
        {"Restore", "restore.dcm", nullptr,
         [](Rig& rig) {
           const CommandResult result = RestorePage(*rig.card, rig.progress, rig.user);
           const std::string last = rig.user.messages.empty() ? "" : rig.user.messages.back();
           EXPECT_EQ(last.rfind(result == CommandResult::Done ? "The page was restored from"
                                                              : "The restore stopped part-way",
                                0),
                     0u);
           if (!last.empty()) rig.user.messages.pop_back();
           return result;
         },
         LinkMessage, nullptr},
    };
    for (std::uint16_t page = 1; page <= kPageCount; ++page)
      list.push_back(SetPageCommand(page));
    return list;
  }();
  return commands;
}

// Runs the command on a fresh rig, with the fault (if any) set once it is prepared.
CommandResult RunCommand(Rig& rig, const Command& command, const Fault* fault) {
  if (command.prepare) command.prepare(rig);
  rig.before = rig.Memory();
  rig.startPage = rig.sim.GetSelectedPage();
  rig.sim.ResetCounters();
  rig.recorder->Clear();
  if (!command.answer.empty()) rig.user.AnswerNextChoice(Scratch().File(command.answer));
  if (fault != nullptr) fault->set(rig.sim.Faults());
  return command.run(rig);
}

class FaultMatrixTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(FaultMatrixTest, ShowsTheFailingLayersMessageAndWritesOnlyWhatItMeantTo) {
  const Command& command = Commands()[GetParam()];
  std::vector<Transfer> good;
  {
    Rig rig;
    ASSERT_EQ(RunCommand(rig, command, nullptr), CommandResult::Done);
    ASSERT_EQ(rig.user.messages, Words{});
    ASSERT_EQ(rig.user.busy, 0);
    good = Transfers(*rig.recorder);
    ASSERT_EQ(good.size(), rig.sim.GetCounters().transactions);
  }

  for (const Fault& fault : FaultsFor(good.size())) {
    SCOPED_TRACE(command.name + " under " + fault.name);
    Rig rig;
    const CommandResult result = RunCommand(rig, command, &fault);
    ASSERT_FALSE(HasFatalFailure());

    const Prediction expected = Predict(fault, good, rig.before, rig.startPage);
    const std::string message =
        expected.t == good.size() ? "" : command.message(expected.t, expected.code);
    EXPECT_EQ(rig.user.messages, message.empty() ? Words{} : Words{message});
    EXPECT_EQ(rig.user.busy, 0) << "busy on every way out";
    EXPECT_EQ(result, message.empty() ? CommandResult::Done : CommandResult::Failed);
    const std::vector<std::uint8_t> control = rig.recorder->Written(kControlRegister);
    EXPECT_EQ(control.empty() ? -1 : control.back(), 0) << "the transaction line";
    EXPECT_EQ(FirstDifference(rig.Memory(), expected.memory), "");
    EXPECT_EQ(rig.sim.GetSelectedPage(), expected.page);
    if (command.check) command.check(rig, expected.t, good);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, FaultMatrixTest,
                         ::testing::Range<std::size_t>(0, Commands().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& test) {
                           std::string name = Commands()[test.param].name;
                           name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
                           return name;
                         });

}  // namespace
