#include "PerfTimer.h"

CPerfTimer::CPerfTimer() : CPerfTimer(CSteadyCounter::Instance()) {}

CPerfTimer::CPerfTimer(CCounterSource& counter)
    : counter_(counter), frequency_(counter.GetFrequency()) {}

std::int64_t CPerfTimer::Now() {
  return counter_.GetCounter();
}

void CPerfTimer::Start(std::uint32_t microseconds) {
  const std::int64_t now = Now();
  // Whole ticks per microsecond, divided first: a counter below 1 MHz gives 0,
  // so its deadlines are "now" and expire at the first check.
  const std::int64_t ticksPerMicrosecond = frequency_ / 1000000;
  const auto ticks =
      static_cast<std::uint64_t>(microseconds) * static_cast<std::uint64_t>(ticksPerMicrosecond);
  deadline_ = static_cast<std::int64_t>(static_cast<std::uint64_t>(now) + ticks);
}

bool CPerfTimer::IsExpired() {
  return Now() >= deadline_;
}

void CPerfTimer::Spin(std::uint32_t microseconds) {
  Start(microseconds);
  while (!IsExpired()) {
  }
}
