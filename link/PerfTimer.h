#pragma once

#include <cstdint>

#include "CounterSource.h"

// Measures short intervals in microseconds by busy waiting on a counter. It
// never sleeps or yields, so that waits of a microsecond or two keep their length.
class CPerfTimer {
 public:
  CPerfTimer();  // on the steady clock
  explicit CPerfTimer(CCounterSource& counter);
  virtual ~CPerfTimer() = default;

  std::int64_t Now();
  void Start(std::uint32_t microseconds);
  bool IsExpired();

  // Waits that long, spinning. A wait of 0 returns at once without reading the
  // counter, which keeps the bit loop free of clock reads at delay factor 0.
  void Delay(std::uint32_t microseconds) {
    if (microseconds != 0) Spin(microseconds);
  }

  std::int64_t GetDeadline() const { return deadline_; }

 private:
  void Spin(std::uint32_t microseconds);

  CCounterSource& counter_;
  std::int64_t frequency_;
  std::int64_t deadline_ = 0;
};
