#pragma once

#include <cstdint>

#include "AdapterClock.h"

// A clock that moves only when something sleeps on it: a wait for a reply
// that never comes ends at once at its deadline, and the pauses between
// write frames can be read off afterwards.
class CManualClock : public CAdapterClock {
 public:
  std::int64_t Now() override { return now_; }
  void Sleep(std::int64_t microseconds) override {
    if (microseconds > 0) now_ += microseconds;
  }

 private:
  std::int64_t now_ = 1000000;
};
