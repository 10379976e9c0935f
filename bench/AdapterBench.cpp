// The commands through a card in a slot of the simulated USB adapter, on a
// clock that moves only when the session pauses: the requests each command
// sends against the fewest (one per block read; four parts, the commit and a
// read-back per block written), the blocks a second the pauses between write
// frames allow, and the real time a command takes without those pauses.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "AdapterTransport.h"
#include "BenchPages.h"
#include "BenchPrompts.h"
#include "FileCommands.h"
#include "ManualClock.h"
#include "PageCommands.h"
#include "QuietProgress.h"
#include "SimulatedAdapter.h"
#include "VmuCard.h"

namespace {

constexpr CardSlot kSlot{0, 1};
constexpr double kFramesPerBlock = 5;    // four parts and the commit
constexpr double kRequestsPerWrite = 6;  // those and the read-back
constexpr double kBlocks = card_format::kPageSize / card_format::kBlockSize;

// A card on the simulated adapter holding a page, and the card object over
// it; the counts of each command are added up over the iterations.
struct Bench {
  explicit Bench(const CPageImage& page) {
    auto owned = std::make_unique<CSimulatedAdapter>(clock);
    adapter = owned.get();
    card = std::make_unique<CVmuCard>(
        std::make_unique<CAdapterTransport>(std::move(owned), clock, kSlot));
    Load(page);
  }
  void Load(const CPageImage& page) {
    adapter->InsertCard(
        kSlot, std::vector<std::uint8_t>(page.GetData(), page.GetData() + card_format::kPageSize));
    card->Invalidate();
  }
  // Around each command, outside the timing.
  void Start() {
    adapter->ResetCounters();
    started = clock.Now();
  }
  void Stop() {
    const CSimulatedAdapter::Counters& counters = adapter->GetCounters();
    requests += double(counters.requests);
    framesWritten += double(counters.writeFrames);
    transmitAgain += double(counters.transmitAgain);
    seconds += double(clock.Now() - started) / 1e6;
  }

  CManualClock clock;
  CSimulatedAdapter* adapter = nullptr;  // the card's transport owns it
  std::unique_ptr<CVmuCard> card;
  CQuietProgress progress;
  std::int64_t started = 0;
  double requests = 0, framesWritten = 0, transmitAgain = 0, seconds = 0;
};

// Runs command on a page loaded afresh each time and reports the requests
// per command against the fewest, and for a command that writes the blocks
// a second its pauses allow.
template <class Command>
void Measure(benchmark::State& state, const CPageImage& page, double fewest, Command command) {
  Bench bench(page);
  for (auto _ : state) {
    state.PauseTiming();
    bench.Load(page);
    bench.Start();
    state.ResumeTiming();
    if (!command(bench)) {
      state.SkipWithError("the command failed");
      break;
    }
    state.PauseTiming();
    bench.Stop();
    state.ResumeTiming();
  }
  const double runs = double(state.iterations());
  state.counters["requests"] = bench.requests / runs;
  state.counters["fewest"] = fewest;
  state.counters["ratio"] = bench.requests / runs / fewest;
  state.counters["transmit_again"] = bench.transmitAgain / runs;
  if (bench.framesWritten > 0)
    state.counters["blocks/s"] = bench.framesWritten / kFramesPerBlock / bench.seconds;
}

// Root, table, the 13 directory blocks and a header a file.
void Refresh200Files(benchmark::State& state) {
  Measure(state, PageWithFiles(200), 1 + 1 + 13 + 200, [](Bench& bench) {
    CFixedUser user("");
    FileListing listing;
    RefreshList(*bench.card, bench.progress, user, listing);
    return listing.rows.size() == 200;
  });
}

// The root, the directory block, the table (the chain) and the file's blocks.
void Download128Blocks(benchmark::State& state) {
  Measure(state, PageWithFiles(1, 128), 1 + 1 + 1 + 128, [](Bench& bench) {
    CFixedUser user(ScratchFile("adapter-download.dci"));
    return DownloadFile(*bench.card, 0, bench.progress, user) == CommandResult::Done;
  });
  std::filesystem::remove(ScratchFile("adapter-download.dci"));
}

// Root, table and the 13 directory blocks read; the file's 128 blocks, the
// table and the directory block written.
void Upload128Blocks(benchmark::State& state) {
  const std::string file = ScratchFile("adapter-upload.dci");
  {
    Bench source(PageWithFiles(1, 128));
    CFixedUser user(file);
    DownloadFile(*source.card, 0, source.progress, user);
  }
  Measure(state, CPageImage::Formatted(), 15 + (128 + 2) * kRequestsPerWrite,
          [&file](Bench& bench) {
            CFixedUser user(file);
            return UploadFile(*bench.card, bench.progress, user) == CommandResult::Done;
          });
  std::filesystem::remove(file);
}

// Every block of the page read once.
void BackupPageBench(benchmark::State& state) {
  Measure(state, PageWithFiles(10), kBlocks, [](Bench& bench) {
    CFixedUser user(ScratchFile("adapter-backup.dcm"));
    return BackupPage(*bench.card, bench.progress, user) == CommandResult::Done;
  });
  std::filesystem::remove(ScratchFile("adapter-backup.dcm"));
}

// Every block of the page written and read back (no safety copy).
void RestorePageBench(benchmark::State& state) {
  const std::string file = ScratchFile("adapter-restore.dcm");
  {
    Bench source(PageWithFiles(10));
    CFixedUser user(file);
    BackupPage(*source.card, source.progress, user);
  }
  Measure(state, PageWithFiles(200), kBlocks * kRequestsPerWrite, [&file](Bench& bench) {
    CFixedUser user(file);
    return RestorePage(*bench.card, bench.progress, user) == CommandResult::Done;
  });
  std::filesystem::remove(file);
}

BENCHMARK(Refresh200Files)->Unit(benchmark::kMillisecond);
BENCHMARK(Download128Blocks)->Unit(benchmark::kMillisecond);
BENCHMARK(Upload128Blocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BackupPageBench)->Unit(benchmark::kMillisecond);
BENCHMARK(RestorePageBench)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
