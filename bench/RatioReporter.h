#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// The console report, followed by ratios of benchmarks measured in the same
// run, so that the speed of a noisy machine cancels out.
class CRatioReporter : public benchmark::ConsoleReporter {
 public:
  struct Ratio {
    std::string label;
    std::string numerator;  // benchmark names
    std::string denominator;
    double nominalDenominator = 0;  // used instead of a benchmark when not 0 (nanoseconds)
  };

  explicit CRatioReporter(std::vector<Ratio> ratios) : ratios_(std::move(ratios)) {}

  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  std::vector<Ratio> ratios_;
  std::map<std::string, double> nanoseconds_;  // real time per iteration, by name
};
