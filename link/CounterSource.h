#pragma once

#include <cstdint>

// Where a timer's ticks come from. The program uses the steady clock; tests
// put in a counter whose frequency and values they choose.
class CCounterSource {
 public:
  virtual ~CCounterSource() = default;

  virtual std::int64_t GetFrequency() = 0;  // ticks per second
  virtual std::int64_t GetCounter() = 0;    // the current tick count
};

// The steady clock in nanoseconds: frequency 1,000,000,000.
class CSteadyCounter : public CCounterSource {
 public:
  std::int64_t GetFrequency() override;
  std::int64_t GetCounter() override;

  // The one instance the program's timers share; it holds no state.
  static CSteadyCounter& Instance();
};
