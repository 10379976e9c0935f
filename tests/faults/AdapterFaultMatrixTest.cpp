// Every command that writes the card, on a card in a slot of the simulated
// USB adapter, against every fault the adapter can show at every request.
// The fault-free run says what each request carries; under a fault the
// command either succeeds with the fault-free card, or fails with one
// message (the block named for a write) and the card holds what the requests
// before the failing one wrote, at most the block in flight partly written,
// nothing after; every file the command does not remove stays whole. The
// clock moves only when something waits, so a hang shows as time spent.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AdapterTransport.h"
#include "CardConsistency.h"
#include "CardOnSimulator.h"
#include "CareCommands.h"
#include "DciFile.h"
#include "DcmFile.h"
#include "FileCommands.h"
#include "ManualClock.h"
#include "Messages.h"
#include "PageCommands.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"
#include "SimulatedAdapter.h"
#include "StatusCodes.h"

namespace {
using Bytes = std::vector<std::uint8_t>;
using card_format::kBlockSize;
using card_format::kPageSize;
using Kind = AdapterFaults::Kind;
constexpr CardSlot kSlot{2, 1};
constexpr std::int64_t kTimeout = 20000;  // microseconds of the manual clock

CVmuDirEntry Named(const char* name, std::uint16_t size) {
  CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, 0, size);
  char name12[12] = {};
  std::string(name).copy(name12, sizeof name12);
  entry.SetFileName(name12);
  return entry;
}

Bytes Blocks(std::uint16_t size, std::uint8_t seed) {
  Bytes blocks(std::size_t{size} * kBlockSize);
  for (std::size_t i = 0; i < blocks.size(); ++i)
    blocks[i] = static_cast<std::uint8_t>(i * 7 + seed);
  std::fill_n(blocks.begin(), 16, 0);
  return blocks;
}

// Three files, one in two runs around a hole, so that defragment moves
// blocks, the table and the directory.
CPageImage StartPage() {
  CPageImage page = CPageImage::Formatted();
  const std::pair<const char*, std::vector<std::uint16_t>> files[] = {
      {"SPLIT", {199, 150, 198}}, {"LOW", {195}}, {"PAIR", {190, 189}}};
  std::uint16_t slot = 0;
  for (const auto& [name, chain] : files) {
    const auto size = static_cast<std::uint16_t>(chain.size());
    const CVmuDirEntry entry = Named(name, size);
    PlaceChain(page, slot, entry.GetData(), chain, Blocks(size, static_cast<std::uint8_t>(slot)));
    slot += 3;  // slots 0, 3 and 6
  }
  return page;
}

// The inputs of upload and restore, written once.
const CScratchDirectory& Inputs() {
  static const CScratchDirectory scratch;
  static const bool written = [] {
    CPageImage restored = CPageImage::Formatted();
    restored.PlaceFile(0, Named("RESTORED", 2), Blocks(2, 40).data());
    card_format::ReverseGroups(restored.GetData(), kPageSize);
    return CDciFile::Write(scratch.File("upload.dci"), Named("UPLOADED", 3), Blocks(3, 99)).Ok() &&
           SaveDcmFile(scratch.File("page.dcm"), restored.GetData()).Ok();
  }();
  EXPECT_TRUE(written);
  return scratch;
}

// One request as it left for the adapter: a block read, or a part (phase 0
// to 3, with its bytes in storage order) or the commit (phase 4) of a write.
struct Request {
  bool write = false;
  std::uint16_t block = 0;
  std::uint32_t phase = 0;
  Bytes part;
};

// The simulated adapter, with each request counted on its way in, and
// noted while `noting` (the fault-free run: decoding every frame is costly
// under the sanitizers).
class CNotingChannel : public CByteChannel {
 public:
  explicit CNotingChannel(std::unique_ptr<CSimulatedAdapter> adapter)
      : adapter_(std::move(adapter)) {}

  Result Write(const std::uint8_t* bytes, std::size_t size) override {
    ++count;
    if (!noting) return adapter_->Write(bytes, size);
    parser_.Feed(bytes, size);
    AdapterPacket packet;
    while (parser_.Next(packet)) {
      Request request;
      MapleFrame frame;
      if (frame.Decode(packet.payload) && frame.words.size() >= 2) {
        request.write = frame.command != maple::kBlockRead;
        request.block = static_cast<std::uint16_t>(frame.words[1] & 0xFFFF);
        request.phase = frame.words[1] >> 16 & 0xFF;
        request.part.resize(4 * (frame.words.size() - 2));
        for (std::size_t w = 2; w < frame.words.size(); ++w)
          maple::PutWord(&request.part[4 * (w - 2)], frame.words[w]);
      }
      requests.push_back(std::move(request));
    }
    return adapter_->Write(bytes, size);
  }
  Result Read(std::vector<std::uint8_t>& arrived, std::int64_t deadline) override {
    return adapter_->Read(arrived, deadline);
  }

  bool noting = false;
  std::size_t count = 0;  // one packet a write
  std::vector<Request> requests;

 private:
  std::unique_ptr<CSimulatedAdapter> adapter_;
  CPacketParser parser_;
};

struct Rig {
  Rig() {
    auto owned = std::make_unique<CSimulatedAdapter>(clock);
    adapter = owned.get();
    const CPageImage start = StartPage();
    adapter->InsertCard(kSlot, Bytes(start.GetData(), start.GetData() + kPageSize));
    adapter->Connect();
    auto noting = std::make_unique<CNotingChannel>(std::move(owned));
    channel = noting.get();
    auto transport = std::make_unique<CAdapterTransport>(std::move(noting), clock, kSlot);
    transport->GetSession().SetTimeout(kTimeout);
    card = std::make_unique<CVmuCard>(std::move(transport));
  }
  CPageImage Page() const {
    CPageImage page;
    std::copy_n(adapter->GetPage(kSlot), kPageSize, page.GetData());
    return page;
  }

  CManualClock clock;
  CSimulatedAdapter* adapter = nullptr;  // owned through the card
  CNotingChannel* channel = nullptr;
  std::unique_ptr<CVmuCard> card;
  CScriptedProgress progress;
  CScriptedUser user{&progress};
};

struct Command {
  const char* name;
  std::function<CommandResult(Rig&)> run;
  std::vector<std::string> removable;  // files the command may take away
  bool wholePage = false;              // it writes a new page over the old one
};
void PrintTo(const Command& command, std::ostream* out) {
  *out << command.name;
}

// The word a command ends with on how it went, which is no failure.
void TakeReport(Rig& rig, const std::string& start) {
  ASSERT_FALSE(rig.user.messages.empty());
  EXPECT_EQ(rig.user.messages.back().rfind(start, 0), 0u) << rig.user.messages.back();
  rig.user.messages.pop_back();
}

CommandResult Restore(Rig& rig) {
  rig.user.AnswerNextChoice(Inputs().File("page.dcm"));
  const CommandResult result = RestorePage(*rig.card, rig.progress, rig.user);
  TakeReport(rig, result == CommandResult::Done ? "The page was restored from"
                                                : "The restore stopped part-way");
  return result;
}

CommandResult Defragment(Rig& rig) {
  const CommandResult result = DefragmentPage(*rig.card, SafetyCopies(), rig.progress, rig.user);
  if (result == CommandResult::Done) TakeReport(rig, "The files now lie together");
  return result;
}

const Command kCommands[] = {
    {"Upload",
     [](Rig& rig) {
       return UploadFile(*rig.card, Inputs().File("upload.dci"), rig.progress, rig.user);
     },
     {}},
    {"Delete",
     [](Rig& rig) {
       rig.user.AnswerNextQuestion(true);
       return DeleteFiles(*rig.card, {0, 6}, rig.user);
     },
     {"SPLIT", "PAIR"}},
    {"Defragment", Defragment, {}},
    {"Restore", Restore, {}, true},
};

std::string Padded(std::string name) {
  name.resize(card_format::kFileNameLength, '\0');
  return name;
}

// The page after the requests before `end` of the fault-free run.
void Apply(CPageImage& page, const std::vector<Request>& log, std::size_t from, std::size_t end) {
  for (std::size_t k = from; k < end; ++k) {
    const Request& r = log[k];
    if (r.write && r.phase < maple::kWritePhases)
      std::copy(r.part.begin(), r.part.end(),
                page.GetBlock(r.block) + r.phase * maple::kPhaseBytes);
  }
}

// The block request i writes or reads back (its verification); -1 for none.
int InFlight(const std::vector<Request>& log, std::size_t i) {
  if (log[i].write) return log[i].block;
  const bool verifies = i > 0 && log[i - 1].write && log[i - 1].phase == maple::kWritePhases &&
                        log[i - 1].block == log[i].block;
  return verifies ? log[i].block : -1;
}

// Every request of a short run (upload, delete). A long one (defragment's
// few hundred, a restore's 1,536: six a block) costs too much under the
// sanitizers at every request, so it is sampled: the first and last dozen,
// and about thirty between at a stride of 6k + 1, which gives every part of
// a block, its commit and its read-back their turn.
std::vector<std::size_t> Sampled(std::size_t n) {
  const std::size_t stride = n <= 200 ? 1 : n / 30 / 6 * 6 + 1;
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < n; ++i)
    if (i < 12 || i + 12 >= n || i % stride == 0) at.push_back(i);
  return at;
}

// Each fault once at the request, or for good from it on.
struct Injected {
  Kind kind;
  bool forGood;
  const char* name;
  std::uint32_t code;  // the status the user is told of when the command fails of it
};
const Injected kInjected[] = {
    {Kind::BadCrc, false, "a reply with a bad CRC", status::kAdapterNoReply},
    {Kind::BytesBefore, false, "bytes before the magic", 0},
    {Kind::Failure, false, "a failure reply", status::kAdapterFailure},
    {Kind::Failure, true, "failure replies from then on (a card the adapter finds gone)",
     status::kAdapterFailure},
    {Kind::Silence, true, "silence from then on (a card pulled out)", status::kAdapterNoReply},
    {Kind::TransmitAgain, false, "a write frame asked for again", 0},
    {Kind::TransmitAgain, true, "every write frame asked for again", status::kAdapterTransmitAgain},
};

class AdapterFaultMatrix : public ::testing::TestWithParam<Command> {};

TEST_P(AdapterFaultMatrix, LeavesTheCardAsTheWriteOrderPromisesAndNeverHangs) {
  const Command& command = GetParam();
  Rig good;
  good.channel->noting = true;
  const std::int64_t started = good.clock.Now();
  ASSERT_EQ(command.run(good), CommandResult::Done);
  ASSERT_EQ(good.user.messages, std::vector<std::string>{});
  const std::vector<Request> log = good.channel->requests;
  ASSERT_EQ(log.size(), good.channel->count);
  ASSERT_EQ(log.size(), good.adapter->GetCounters().requests);
  const CPageImage done = good.Page();
  // A fault costs at most one deadline and the tries of one block.
  const std::int64_t bound =
      good.clock.Now() - started + kTimeout +
      (CAdapterCard::kWriteTries - 1) *
          (CAdapterCard::kRetryPause + (maple::kWritePhases + 1) * CAdapterCard::kWritePause);

  auto run = [&](const AdapterFaults& faults) {
    auto rig = std::make_unique<Rig>();
    rig->adapter->Faults() = faults;
    const std::int64_t from = rig->clock.Now();
    const CommandResult result = command.run(*rig);
    EXPECT_LE(rig->clock.Now() - from, bound) << "the command waited too long";
    EXPECT_EQ(rig->user.busy, 0);
    return std::make_pair(result, std::move(rig));
  };

  // Replies split, merged and turned around arrive all the same.
  for (const auto& [size, reverse] :
       {std::pair<std::size_t, bool>{1, false}, {5, true}, {0, true}}) {
    SCOPED_TRACE("reads of " + std::to_string(size) + (reverse ? " bytes, reversed" : " bytes"));
    AdapterFaults faults;
    faults.readSize = size;
    faults.reverseOrder = reverse;
    const auto [result, rig] = run(faults);
    EXPECT_EQ(result, CommandResult::Done);
    EXPECT_TRUE(std::equal(done.GetData(), done.GetData() + kPageSize, rig->Page().GetData()));
  }

  const CPageImage start = StartPage();
  for (const Injected& injected : kInjected) {
    const Kind kind = injected.kind;
    CPageImage before = start;  // the fault-free page before request i
    std::size_t applied = 0;
    for (const std::size_t i : Sampled(log.size())) {
      SCOPED_TRACE(std::string(injected.name) + " at request " + std::to_string(i) + " of " +
                   std::to_string(log.size()));
      Apply(before, log, applied, i);
      applied = i;
      // The request the fault first tells on: a card asks only for write
      // frames again.
      std::size_t f = i;
      while (kind == Kind::TransmitAgain && injected.forGood && f < log.size() && !log[f].write)
        ++f;
      const int block = f < log.size() ? InFlight(log, f) : -1;
      // A lost reply and a card gone end the command, and so does a read
      // the bus failed; a block the card refused or asked for again is sent
      // again, kWriteTries times in all, each try stopped at its first frame
      // by a fault that stays.
      const bool retried = block >= 0 && (kind == Kind::Failure || kind == Kind::TransmitAgain);
      const bool fails = kind == Kind::BadCrc || kind == Kind::Silence ||
                         (kind == Kind::Failure && block < 0) ||
                         (retried && injected.forGood && f < log.size());
      AdapterFaults faults;
      faults.kind = kind;
      faults.from = static_cast<std::int64_t>(i);
      faults.count = injected.forGood ? -1 : 1;
      const auto [result, rig] = run(faults);
      const CPageImage after = rig->Page();
      if (!fails) {
        EXPECT_EQ(result, CommandResult::Done);
        EXPECT_EQ(rig->user.messages, std::vector<std::string>{});
        EXPECT_TRUE(std::equal(done.GetData(), done.GetData() + kPageSize, after.GetData()));
        continue;
      }
      EXPECT_EQ(result, CommandResult::Failed);
      EXPECT_EQ(rig->channel->count, f + (retried ? CAdapterCard::kWriteTries : 1))
          << "requests after the failing one";
      ASSERT_EQ(rig->user.messages.size(), 1u);
      const std::string& message = rig->user.messages[0];
      // The simulated adapter gives reason 4 (the card did not answer).
      EXPECT_NE(message.find(AdapterFailure(injected.code, "4").Message()), std::string::npos)
          << message;
      if (block >= 0) {
        EXPECT_NE(message.find(Fill(message::kAdapterBlockNotWritten, {std::to_string(block), ""})),
                  std::string::npos)
            << message;
      }
      // The card as before request f but for the block in flight, whose
      // every part is as before or as the block was meant to be.
      CPageImage then = before;
      Apply(then, log, i, f);
      CPageImage meant = then;
      std::size_t end = f;
      while (end < log.size() && log[end].write && log[end].block == block)
        ++end;
      Apply(meant, log, f, end);
      for (std::uint32_t at = 0; at < kPageSize; at += maple::kPhaseBytes) {
        const auto same = [&](const CPageImage& page) {
          return std::equal(page.GetData() + at, page.GetData() + at + maple::kPhaseBytes,
                            after.GetData() + at);
        };
        EXPECT_TRUE(same(then) || (static_cast<int>(at / kBlockSize) == block && same(meant)))
            << "block " << at / kBlockSize << ", part " << at % kBlockSize / maple::kPhaseBytes;
      }
      if (command.wholePage) continue;  // a page partly restored holds no files to speak of
      EXPECT_EQ(ConsistencyProblems(after, true), std::vector<std::string>{});
      const FileChanges changes = CompareFiles(start, after);
      EXPECT_EQ(changes.changed, std::vector<std::string>{});
      for (const std::string& name : changes.gone) {
        EXPECT_NE(std::find_if(command.removable.begin(), command.removable.end(),
                               [&](const std::string& r) { return Padded(r) == name; }),
                  command.removable.end())
            << name;
      }
      for (const std::string& name : changes.added) {
        EXPECT_EQ(name, Padded("UPLOADED"));
        EXPECT_EQ(ChainBytes(after, FindFile(after, name).chain), Blocks(3, 99));
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryWritingCommand, AdapterFaultMatrix, ::testing::ValuesIn(kCommands),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
