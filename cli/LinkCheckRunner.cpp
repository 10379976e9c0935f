#include "LinkCheckRunner.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <memory>

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

// One line of the report, formatted as printf does.
std::string Line(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Line(const char* format, ...) {
  char text[256];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return text;
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The report of one transaction run: its speed, or why it failed.
class CLinkCheck {
 public:
  CLinkCheck(CVmuLink& link, std::ostream& out) : link_(link), out_(out) {}

  bool ReadPage(std::vector<std::uint8_t>& page) {
    const auto start = std::chrono::steady_clock::now();
    bool ok = true;
    for (std::uint32_t offset = 0; ok && offset < kPageSize; offset += kReadUnit)
      ok = link_.Read(offset, page.data() + offset, kReadUnit, false);
    return Report(ok, "read 32 units of 4096 bytes", Seconds(start), kPageSize);
  }

  bool WritePage(const std::vector<std::uint8_t>& page) {
    const auto start = std::chrono::steady_clock::now();
    bool ok = true;
    for (std::uint32_t offset = 0; ok && offset < kPageSize; offset += CVmuLink::kWriteUnit)
      ok = link_.Write(offset, page.data() + offset, CVmuLink::kWriteUnit, false);
    return Report(ok, "write 1024 units of 128 bytes", Seconds(start), kPageSize);
  }

  // Writes a pattern over each page, reads it back, then puts the old bytes back.
  bool CheckAllPages() {
    std::vector<std::uint8_t> original(kPageSize), pattern(kPageSize), back(kPageSize);
    for (std::uint16_t page = 0; page < card_format::kPageCount; ++page) {
      out_ << "Page " << page + 1 << '\n';
      if (!link_.SelectPage(page)) {
        out_ << "  select page FAILED: " << link_.MessageFor(link_.GetLastStatus()) << '\n';
        return false;
      }
      for (std::uint32_t i = 0; i < kPageSize; ++i)
        pattern[i] = static_cast<std::uint8_t>((i * 131u + page * 17u) >> 3);
      if (!ReadPage(original) || !WritePage(pattern) || !ReadPage(back)) return false;
      if (back != pattern) {
        out_ << "  the page read back differs from what was written\n";
        return false;
      }
      if (!WritePage(original)) return false;
    }
    return link_.SelectPage(0);
  }

 private:
  bool Report(bool ok, const char* what, double seconds, std::uint32_t bytes) {
    if (!ok) {
      out_ << Line("  %-34s FAILED: ", what) << link_.MessageFor(link_.GetLastStatus()) << '\n';
      return false;
    }
    out_ << Line("  %-34s ok  %7.3f s  %8.1f KiB/s\n", what, seconds, bytes / 1024.0 / seconds);
    return true;
  }

  CVmuLink& link_;
  std::ostream& out_;
};

// The link the options ask for: a real port, or the simulated card, which
// is written on every page and so holds its image alone.
std::unique_ptr<CVmuLink> MakeLink(const LinkOptions& options,
                                   const LinkCheckEnvironment& environment, CSimulatedCard& card,
                                   std::ostream& err) {
  std::unique_ptr<CVmuLink> link;
  if (options.port) {
    link = std::make_unique<CVmuLink>(environment.chooser);
    link->SetPort(*options.port);  // the one road, for this port
  } else {
    const Result opened = options.image.empty() ? Result()
                                                : card.OpenImage(options.image, ImageAccess::Write,
                                                                 environment.imageCalls);
    if (!opened) {
      err << opened.Message() << '\n';
      return nullptr;
    }
    link = std::make_unique<CVmuLink>(std::make_unique<CSimulatedPortRoad>(card));
  }
  ApplyLinkOptions(options, *link);
  return link;
}

}  // namespace

LinkCheckEnvironment SystemLinkCheckEnvironment() {
  LinkCheckEnvironment environment;
  environment.chooser = SystemPortRoadChooser();
  return environment;
}

int RunLinkCheck(const std::vector<std::string>& arguments, const LinkCheckEnvironment& environment,
                 std::ostream& out, std::ostream& err) {
  LinkOptions options;
  int exitStatus = 0;
  if (!ParseLinkCheckCommandLine(arguments, options, exitStatus, out, err)) return exitStatus;

  CSimulatedCard card;  // outlives the link that reaches it
  const std::unique_ptr<CVmuLink> link = MakeLink(options, environment, card, err);
  if (link == nullptr) return 1;
  CWireTrace* trace = nullptr;
  if (!options.trace.empty()) {
    std::unique_ptr<CWireTrace> opened;
    Result result = card.CheckOutput(options.trace);
    if (result) result = CWireTrace::OpenFile(options.trace, options.force, opened);
    if (!result) {
      err << result.Message() << '\n';
      return 1;
    }
    trace = opened.get();  // the link owns it and outlives its use here
    link->SetTrace(std::move(opened));
  }

  const std::string where = options.port            ? "the parallel port"
                            : options.image.empty() ? "a simulated card in memory"
                                                    : options.image;
  out << "Korvantis link check on " << where << '\n';
  out << Line("Road: %s, port 0x%X, delay factor %u us, timeout %u us\n",
              PortAccessName(link->GetPortAccess()), link->GetPort(), link->GetDelayFactor(),
              link->GetTimeout());
  if (const Result& port = link->GetPortProblem(); !port) out << port.Message() << '\n';

  CLinkCheck check(*link, out);
  bool ok;
  if (options.port) {
    std::vector<std::uint8_t> page(kPageSize);
    out << "Selected page (read only)\n";
    ok = check.ReadPage(page);
  } else {
    ok = check.CheckAllPages();
  }
  // What reached the image must reach the disk, and the trace must be whole.
  std::vector<Result> kept = {card.SyncImage()};
  if (trace != nullptr) {
    trace->Flush();
    kept.push_back(trace->GetResult());
  }
  for (const Result& result : kept) {
    if (result) continue;
    err << result.Message() << '\n';
    ok = false;
  }
  out << (ok ? "Every transaction succeeded.\n" : "The link check failed.\n") << std::flush;
  return ok ? 0 : 1;
}
