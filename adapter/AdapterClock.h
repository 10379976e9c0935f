#pragma once

#include <cstdint>

// The adapter session's time: the deadline of every request and the pause
// the card needs between write frames. The program uses the steady clock;
// tests put in a clock that only moves when something sleeps, so that no
// test waits and none depends on the machine's speed.
class CAdapterClock {
 public:
  virtual ~CAdapterClock() = default;

  virtual std::int64_t Now() = 0;  // microseconds, never going back
  virtual void Sleep(std::int64_t microseconds) = 0;
};

class CSteadyAdapterClock : public CAdapterClock {
 public:
  std::int64_t Now() override;
  void Sleep(std::int64_t microseconds) override;

  // The one instance the program shares; it holds no state.
  static CSteadyAdapterClock& Instance();
};
