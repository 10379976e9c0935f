#include "RatioReporter.h"

#include <cstdio>

void CRatioReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const auto& run : runs) {
    if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
    const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
    nanoseconds_[run.benchmark_name()] = seconds * 1e9;
  }
  ConsoleReporter::ReportRuns(runs);
}

void CRatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::printf("\nRatios measured in this run:\n");
  for (const auto& ratio : ratios_) {
    const auto top = nanoseconds_.find(ratio.numerator);
    const auto bottom = nanoseconds_.find(ratio.denominator);
    const double denominator = ratio.nominalDenominator != 0  ? ratio.nominalDenominator
                               : bottom != nanoseconds_.end() ? bottom->second
                                                              : 0;
    if (top == nanoseconds_.end() || denominator == 0) continue;
    std::printf("  %-44s %6.3f  (%.0f ns / %.0f ns)\n", ratio.label.c_str(),
                top->second / denominator, top->second, denominator);
  }
}
