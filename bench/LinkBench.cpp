// Link throughput over the simulated road at delay factor 0, against the bare
// register accesses the same transfers make; and the real length of the
// busy waits.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "PerfTimer.h"
#include "RatioReporter.h"
#include "RecordingPortRoad.h"
#include "SimulatedCard.h"
#include "SimulatedPortRoad.h"
#include "VmuLink.h"

namespace {

enum class Transfer { Read512, Read4096, WriteUnit };

std::uint32_t Bytes(Transfer transfer) {
  switch (transfer) {
    case Transfer::Read512:
      return 512;
    case Transfer::Read4096:
      return 4096;
    case Transfer::WriteUnit:
      return 128;
  }
  return 0;
}

bool RunTransfer(CVmuLink& link, Transfer transfer, std::vector<std::uint8_t>& buffer) {
  if (transfer == Transfer::WriteUnit) return link.Write(0x4000, buffer.data(), 128, true);
  return link.Read(0x4000, buffer.data(), Bytes(transfer), transfer == Transfer::Read512);
}

void LinkTransfer(benchmark::State& state, Transfer transfer) {
  CSimulatedCard card;
  CVmuLink link(std::make_unique<CSimulatedPortRoad>(card));
  link.SetDelayFactor(0);
  std::vector<std::uint8_t> buffer(4096, 0x5A);
  for (auto _ : state) {
    if (!RunTransfer(link, transfer, buffer)) state.SkipWithError("transfer failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * Bytes(transfer));
}

// The same register accesses, replayed on the road without the protocol logic:
// what the transfer costs at the least.
void BareAccesses(benchmark::State& state, Transfer transfer) {
  CSimulatedCard recordedCard;
  CSimulatedPortRoad recordedRoad(recordedCard);
  auto recorder = std::make_unique<CRecordingPortRoad>(&recordedRoad);
  auto* recording = recorder.get();
  CVmuLink link(std::move(recorder));
  link.SetDelayFactor(0);
  std::vector<std::uint8_t> buffer(4096, 0x5A);
  RunTransfer(link, transfer, buffer);
  const std::vector<PortAccessRecord> accesses = recording->GetRecords();

  CSimulatedCard card;
  CSimulatedPortRoad simulated(card);
  CPortRoad& road = simulated;
  for (auto _ : state) {
    for (const auto& access : accesses) {
      if (access.write) {
        road.WriteRegister(access.offset, access.value);
      } else {
        benchmark::DoNotOptimize(road.ReadRegister(access.offset));
      }
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * Bytes(transfer));
  state.counters["accesses"] = static_cast<double>(accesses.size());
}

void BusyWait(benchmark::State& state) {
  CPerfTimer timer;
  const auto microseconds = static_cast<std::uint32_t>(state.range(0));
  for (auto _ : state)
    timer.Delay(microseconds);
}

BENCHMARK_CAPTURE(LinkTransfer, read512, Transfer::Read512);
BENCHMARK_CAPTURE(BareAccesses, read512, Transfer::Read512);
BENCHMARK_CAPTURE(LinkTransfer, read4096, Transfer::Read4096);
BENCHMARK_CAPTURE(BareAccesses, read4096, Transfer::Read4096);
BENCHMARK_CAPTURE(LinkTransfer, write128, Transfer::WriteUnit);
BENCHMARK_CAPTURE(BareAccesses, write128, Transfer::WriteUnit);
BENCHMARK(BusyWait)->Arg(1)->Arg(10)->Arg(100);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  CRatioReporter reporter({
      {"link overhead, 512-byte reads", "LinkTransfer/read512", "BareAccesses/read512", 0},
      {"link overhead, 4096-byte reads", "LinkTransfer/read4096", "BareAccesses/read4096", 0},
      {"link overhead, 128-byte write units", "LinkTransfer/write128", "BareAccesses/write128", 0},
      {"Delay(1): real length / nominal", "BusyWait/1", "", 1000},
      {"Delay(10): real length / nominal", "BusyWait/10", "", 10000},
      {"Delay(100): real length / nominal", "BusyWait/100", "", 100000},
  });
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
