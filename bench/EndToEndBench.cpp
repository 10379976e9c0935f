// The commands end to end over the simulated card: their time, and the link
// transactions they make against the fewest the card's layout allows.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "BenchPages.h"
#include "BenchPrompts.h"
#include "CareCommands.h"
#include "FileCommands.h"
#include "PageCommands.h"
#include "PageImage.h"
#include "QuietProgress.h"
#include "RatioReporter.h"
#include "SimulatedCard.h"
#include "SimulatedPortRoad.h"
#include "VmuCard.h"

namespace {

constexpr std::uint32_t kPage = card_format::kPageSize;

// A simulated card holding a page, and the card object over it.
struct Bench {
  explicit Bench(const CPageImage& page) { Load(page); }
  void Load(const CPageImage& page) {
    std::memcpy(sim.GetPage(0), page.GetData(), kPage);
    card_format::ReverseGroups(sim.GetPage(0), kPage);  // the card keeps wire order
    card.Invalidate();
  }
  std::uint64_t Transactions() const {
    const auto& counters = sim.GetCounters();
    return counters.reads + counters.writeUnits + counters.pageSelects;
  }

  CSimulatedCard sim;
  CVmuCard card{std::make_unique<CSimulatedPortRoad>(sim)};
  CQuietProgress progress;
};

void Report(benchmark::State& state, Bench& bench, double fewest) {
  const double made = double(bench.Transactions()) / double(state.iterations());
  state.counters["transactions"] = made;
  state.counters["fewest"] = fewest;
  state.counters["ratio"] = made / fewest;
}

void Refresh200Files(benchmark::State& state) {
  Bench bench(PageWithFiles(200));
  bench.card.GetLink()->SetDelayFactor(0);
  CFixedUser user("");
  bench.sim.ResetCounters();
  for (auto _ : state) {
    FileListing listing;
    RefreshList(bench.card, bench.progress, user, listing);
    if (listing.rows.size() != 200) state.SkipWithError("the listing is short");
  }
  // The root block, the allocation table (free count and game headers), the
  // 13 directory blocks and one header block per file.
  Report(state, bench, 1 + 1 + 13 + 200);
}

// 100 two-block files whose headers give a one-frame icon, listed as a view
// that shows icons lists them: each file's next block is read once more for
// the last 128 bytes of its first frame.
void Refresh100FilesWithIcons(benchmark::State& state) {
  CPageImage page = PageWithFiles(100, 2);
  for (int i = 0; i < 100; ++i) {
    std::uint8_t* header = page.GetBlock(static_cast<std::uint16_t>(199 - 2 * i));
    card_format::PutLe16(header + card_format::kHeaderIconCount, 1);
  }
  Bench bench(page);
  bench.card.GetLink()->SetDelayFactor(0);
  CFixedUser user("");
  bench.sim.ResetCounters();
  for (auto _ : state) {
    FileListing listing;
    RefreshList(bench.card, bench.progress, user, listing, RowSink(), true);
    if (listing.rows.size() != 100) state.SkipWithError("the listing is short");
  }
  // Root, table, 13 directory blocks, 100 headers and 100 next blocks.
  Report(state, bench, 1 + 1 + 13 + 100 + 100);
}

void BackupPageBench(benchmark::State& state) {
  Bench bench(PageWithFiles(10));
  bench.card.GetLink()->SetDelayFactor(static_cast<std::uint32_t>(state.range(0)));
  CFixedUser user(ScratchFile("backup.dcm"));
  bench.sim.ResetCounters();
  for (auto _ : state) {
    if (BackupPage(bench.card, bench.progress, user) != CommandResult::Done) {
      state.SkipWithError(user.lastMessage.c_str());
    }
  }
  Report(state, bench, kPage / 4096.0);
  std::filesystem::remove(ScratchFile("backup.dcm"));
}

void RestorePageBench(benchmark::State& state) {
  Bench bench(PageWithFiles(10));
  bench.card.GetLink()->SetDelayFactor(0);
  CFixedUser user(ScratchFile("restore.dcm"));
  BackupPage(bench.card, bench.progress, user);
  bench.sim.ResetCounters();
  for (auto _ : state) {
    if (RestorePage(bench.card, bench.progress, user) != CommandResult::Done) {
      state.SkipWithError(user.lastMessage.c_str());
    }
  }
  Report(state, bench, kPage / 128.0);
  std::filesystem::remove(ScratchFile("restore.dcm"));
}

void Download128Blocks(benchmark::State& state) {
  Bench bench(PageWithFiles(1, 128));
  bench.card.GetLink()->SetDelayFactor(0);
  CFixedUser user(ScratchFile("download.dci"));
  bench.sim.ResetCounters();
  for (auto _ : state) {
    state.PauseTiming();
    bench.card.Invalidate();  // every download reads the card afresh
    state.ResumeTiming();
    if (DownloadFile(bench.card, 0, bench.progress, user) != CommandResult::Done) {
      state.SkipWithError(user.lastMessage.c_str());
    }
  }
  // The root block, the directory block, the allocation table (the chain)
  // and the file's 128 blocks.
  Report(state, bench, 1 + 1 + 1 + 128);
  std::filesystem::remove(ScratchFile("download.dci"));
}

// Uploads the file of "upload.dci" to a page, afresh each time, and reports
// the transactions of the last upload against the fewest.
void UploadTo(benchmark::State& state, const CPageImage& page, double fewest) {
  Bench bench(PageWithFiles(1, 128));
  bench.card.GetLink()->SetDelayFactor(0);
  CFixedUser user(ScratchFile("upload.dci"));  // answers yes: a replace goes ahead
  DownloadFile(bench.card, 0, bench.progress, user);
  bench.sim.ResetCounters();
  for (auto _ : state) {
    state.PauseTiming();
    bench.Load(page);
    bench.sim.ResetCounters();
    state.ResumeTiming();
    if (UploadFile(bench.card, bench.progress, user) != CommandResult::Done) {
      state.SkipWithError(user.lastMessage.c_str());
    }
  }
  const double made = double(bench.Transactions());  // those of the last upload
  state.counters["transactions"] = made;
  state.counters["fewest"] = fewest;
  state.counters["ratio"] = made / fewest;
  std::filesystem::remove(ScratchFile("upload.dci"));
}

// Reads of the root, the allocation table and the 13 directory blocks in one
// transfer (no other file may have the name); 128 data blocks, the
// allocation-table block and the directory block written in four units each.
void Upload128Blocks(benchmark::State& state) {
  UploadTo(state, CPageImage::Formatted(), 3 + (128 + 2) * 4);
}

// The same file over a 60-block file of its name: the three reads again
// after the question (the card may have been swapped while it was open), and
// the table written a second time, to free the old version once the new one
// is whole.
void Replace128Blocks(benchmark::State& state) {
  UploadTo(state, PageWithFiles(1, 60), 3 + 3 + (128 + 3) * 4);
}

// Runs a care command on a page loaded afresh each time, and reports the
// transactions of the last run against the fewest. No safety copy is saved.
template <class Command>
void CareOn(benchmark::State& state, const CPageImage& page, double fewest, Command command) {
  Bench bench(page);
  bench.card.GetLink()->SetDelayFactor(0);
  CFixedUser user("");
  for (auto _ : state) {
    state.PauseTiming();
    bench.Load(page);
    bench.sim.ResetCounters();
    state.ResumeTiming();
    if (command(bench, user) != CommandResult::Done) state.SkipWithError(user.lastMessage.c_str());
  }
  const double made = double(bench.Transactions());
  state.counters["transactions"] = made;
  state.counters["fewest"] = fewest;
  state.counters["ratio"] = made / fewest;
}

// The root, the table and the 13 directory blocks in one transfer read (every
// other entry may reach the file's blocks), and the same again after the
// question; the directory block, then the table, written in four units each.
void DeleteOneFile(benchmark::State& state) {
  CareOn(state, PageWithFiles(1, 128), 3 + 3 + 2 * 4,
         [](Bench& bench, CFixedUser& user) { return DeleteFiles(bench.card, {0}, user); });
}

// The 13 directory blocks, the table and the root, four units each.
void FormatBench(benchmark::State& state) {
  CareOn(state, PageWithFiles(10), 15 * 4, [](Bench& bench, CFixedUser& user) {
    return FormatPage(bench.card, SafetyCopies(), bench.progress, user);
  });
}

// The whole page in 32 reads of 4096 bytes.
void CheckBench(benchmark::State& state) {
  CareOn(state, PageWithFiles(200), kPage / 4096.0, [](Bench& bench, CFixedUser& user) {
    CheckVerdict verdict;
    return CheckCard(bench.card, CheckRequest(), SafetyCopies(), bench.progress, user, verdict);
  });
}

// Ten 10-block files with a free block after each (the one nearest 199 is
// in place): the whole page read in 32 transfers, then each of the 90 moved
// blocks written once; each batch of moves also writes the table three times
// and, when a file's first block moves, its directory block.
void Defragment10Files(benchmark::State& state) {
  CPageImage page = CPageImage::Formatted();
  std::vector<std::uint8_t> blocks(10 * card_format::kBlockSize, 0x41);
  for (int i = 0; i < 10; ++i)
    page.PlaceFile(static_cast<std::uint16_t>(i),
                   DataEntry(static_cast<std::uint16_t>(199 - i * 11), 10, i), blocks.data());
  CareOn(state, page, 32 + 90 * 4, [](Bench& bench, CFixedUser& user) {
    return DefragmentPage(bench.card, SafetyCopies(), bench.progress, user);
  });
}

BENCHMARK(Refresh200Files)->Unit(benchmark::kMillisecond);
BENCHMARK(Refresh100FilesWithIcons)->Unit(benchmark::kMillisecond);
BENCHMARK(BackupPageBench)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(RestorePageBench)->Unit(benchmark::kMillisecond);
BENCHMARK(Download128Blocks)->Unit(benchmark::kMillisecond);
BENCHMARK(Upload128Blocks)->Unit(benchmark::kMillisecond);
BENCHMARK(Replace128Blocks)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteOneFile)->Unit(benchmark::kMillisecond);
BENCHMARK(FormatBench)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckBench)->Unit(benchmark::kMillisecond);
BENCHMARK(Defragment10Files)->Unit(benchmark::kMillisecond);
// At delay factor 1 the waits dominate: 16 of 1 µs per byte exchanged.
BENCHMARK(BackupPageBench)->Arg(1)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // A backup exchanges per 4096-byte unit 8 header bytes, the data and the
  // checksum: 16 delays of 1 µs each.
  const double delayBound = 32.0 * (8 + 4096 + 1) * 16 * 1000.0;  // nanoseconds
  CRatioReporter reporter(
      {{"backup at delay 1 / the delays alone", "BackupPageBench/1/iterations:2", "", delayBound}});
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
