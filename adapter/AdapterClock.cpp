#include "AdapterClock.h"

#include <chrono>
#include <thread>

std::int64_t CSteadyAdapterClock::Now() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void CSteadyAdapterClock::Sleep(std::int64_t microseconds) {
  if (microseconds > 0) std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}

CSteadyAdapterClock& CSteadyAdapterClock::Instance() {
  static CSteadyAdapterClock clock;
  return clock;
}
