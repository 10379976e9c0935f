// korvantis-linkcheck: runs the card's three transactions over the link and
// says how fast and how cleanly they went. On a simulated card it writes and
// reads back every unit of all four pages; on a real port it only reads the
// selected page, so that nothing on the card changes.

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "CardFormat.h"
#include "LinkCheckCommandLine.h"
#include "SimulatedCard.h"
#include "SimulatedPortRoad.h"
#include "StatusCodes.h"
#include "VmuLink.h"
#include "WireTrace.h"

namespace {

using card_format::kPageSize;
constexpr std::uint32_t kReadUnit = 4096;

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool Report(CVmuLink& link, bool ok, const char* what, double seconds, std::uint32_t bytes) {
  if (!ok) {
    std::printf("  %-34s FAILED: %s\n", what, link.MessageFor(link.GetLastStatus()).c_str());
    return false;
  }
  std::printf("  %-34s ok  %7.3f s  %8.1f KiB/s\n", what, seconds, bytes / 1024.0 / seconds);
  return true;
}

bool ReadPage(CVmuLink& link, std::vector<std::uint8_t>& page) {
  const auto start = std::chrono::steady_clock::now();
  bool ok = true;
  for (std::uint32_t offset = 0; ok && offset < kPageSize; offset += kReadUnit) {
    ok = link.Read(offset, page.data() + offset, kReadUnit, false);
  }
  return Report(link, ok, "read 32 units of 4096 bytes", Seconds(start), kPageSize);
}

bool WritePage(CVmuLink& link, const std::vector<std::uint8_t>& page) {
  const auto start = std::chrono::steady_clock::now();
  bool ok = true;
  for (std::uint32_t offset = 0; ok && offset < kPageSize; offset += CVmuLink::kWriteUnit) {
    ok = link.Write(offset, page.data() + offset, CVmuLink::kWriteUnit, false);
  }
  return Report(link, ok, "write 1024 units of 128 bytes", Seconds(start), kPageSize);
}

// Writes a pattern over each page, reads it back, then puts the old bytes back.
bool CheckAllPages(CVmuLink& link) {
  std::vector<std::uint8_t> original(kPageSize), pattern(kPageSize), back(kPageSize);
  for (std::uint16_t page = 0; page < card_format::kPageCount; ++page) {
    std::printf("Page %u\n", page + 1);
    if (!link.SelectPage(page)) {
      std::printf("  select page FAILED: %s\n", link.MessageFor(link.GetLastStatus()).c_str());
      return false;
    }
    for (std::uint32_t i = 0; i < kPageSize; ++i) {
      pattern[i] = static_cast<std::uint8_t>((i * 131u + page * 17u) >> 3);
    }
    if (!ReadPage(link, original) || !WritePage(link, pattern) || !ReadPage(link, back)) {
      return false;
    }
    if (back != pattern) {
      std::printf("  the page read back differs from what was written\n");
      return false;
    }
    if (!WritePage(link, original)) return false;
  }
  return link.SelectPage(0);
}

}  // namespace

int main(int argc, char** argv) {
  LinkOptions options;
  int exitStatus = 0;
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (!ParseLinkCheckCommandLine(arguments, options, exitStatus, std::cout, std::cerr)) {
    return exitStatus;
  }

  CSimulatedCard card;
  std::unique_ptr<CVmuLink> link;
  if (options.port) {
    link = std::make_unique<CVmuLink>();
    link->SetPort(*options.port);  // the one road, for this port
  } else {
    // It writes every page, so it holds the image alone.
    const Result opened =
        options.image.empty() ? Result() : card.OpenImage(options.image, ImageAccess::Write);
    if (!opened) {
      std::fprintf(stderr, "%s\n", opened.Message().c_str());
      return 1;
    }
    link = std::make_unique<CVmuLink>(std::make_unique<CSimulatedPortRoad>(card));
  }
  ApplyLinkOptions(options, *link);
  CWireTrace* trace = nullptr;
  if (!options.trace.empty()) {
    std::unique_ptr<CWireTrace> opened;
    Result result = card.CheckOutput(options.trace);
    if (result) result = CWireTrace::OpenFile(options.trace, options.force, opened);
    if (!result) {
      std::fprintf(stderr, "%s\n", result.Message().c_str());
      return 1;
    }
    trace = opened.get();  // the link owns it and outlives its use here
    link->SetTrace(std::move(opened));
  }

  const char* where = options.port            ? "the parallel port"
                      : options.image.empty() ? "a simulated card in memory"
                                              : options.image.c_str();
  std::printf("Korvantis link check on %s\n", where);
  std::printf("Road: %s, port 0x%X, delay factor %u us, timeout %u us\n",
              PortAccessName(link->GetPortAccess()), link->GetPort(), link->GetDelayFactor(),
              link->GetTimeout());
  if (const Result& port = link->GetPortProblem(); !port)
    std::printf("%s\n", port.Message().c_str());

  bool ok;
  if (options.port) {
    std::vector<std::uint8_t> page(kPageSize);
    std::printf("Selected page (read only)\n");
    ok = ReadPage(*link, page);
  } else {
    ok = CheckAllPages(*link);
  }
  // What reached the image must reach the disk, and the trace must be whole.
  std::vector<Result> kept = {card.SyncImage()};
  if (trace != nullptr) {
    trace->Flush();
    kept.push_back(trace->GetResult());
  }
  for (const Result& result : kept) {
    if (result) continue;
    std::fprintf(stderr, "%s\n", result.Message().c_str());
    ok = false;
  }
  std::printf(ok ? "Every transaction succeeded.\n" : "The link check failed.\n");
  return ok ? 0 : 1;
}
