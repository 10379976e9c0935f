#pragma once

#include <cstdint>

#include "CounterSource.h"

// A counter that tests control: a chosen frequency, and a value that moves on
// by a fixed step at every read, so waits end after a known number of reads.
class CFakeCounter : public CCounterSource {
 public:
  explicit CFakeCounter(std::int64_t frequency, std::int64_t step = 0)
      : frequency_(frequency), step_(step) {}

  std::int64_t GetFrequency() override { return frequency_; }
  std::int64_t GetCounter() override {
    ++reads_;
    const std::int64_t value = value_;
    value_ += step_;
    return value;
  }

  void Set(std::int64_t value) { value_ = value; }
  std::int64_t Reads() const { return reads_; }

 private:
  std::int64_t frequency_;
  std::int64_t step_;
  std::int64_t value_ = 0;
  std::int64_t reads_ = 0;
};
