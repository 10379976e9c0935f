#include "CounterSource.h"

#include <chrono>

std::int64_t CSteadyCounter::GetFrequency() {
  using Period = std::chrono::steady_clock::period;
  return Period::den / Period::num;
}

std::int64_t CSteadyCounter::GetCounter() {
  return std::chrono::steady_clock::now().time_since_epoch().count();
}

CSteadyCounter& CSteadyCounter::Instance() {
  static CSteadyCounter counter;
  return counter;
}
