#include "PerfTimer.h"

#include <gtest/gtest.h>

#include "FakeCounter.h"

TEST(PerfTimer, TicksPerMicrosecondAreWholeAndDividedFirst) {
  struct Case {
    std::int64_t frequency;
    std::uint32_t microseconds;
    std::int64_t deadline;
  };
  for (const Case c : {Case{10000000, 5000000, 50000000},
                       Case{3579545, 1000, 3000},  // 3 whole ticks per microsecond, not 3.58
                       // The longest wait still fits: no 32-bit overflow in the product.
                       Case{1000000000, 0xFFFFFFFFu, 0xFFFFFFFFLL * 1000}}) {
    CFakeCounter counter(c.frequency);
    counter.Set(1000);
    CPerfTimer timer(counter);
    timer.Start(c.microseconds);
    EXPECT_EQ(timer.GetDeadline(), 1000 + c.deadline) << c.frequency;
  }
}

TEST(PerfTimer, CounterBelowOneMegahertzExpiresAtOnce) {
  for (std::int64_t frequency : {0LL, 1LL, 999999LL}) {
    CFakeCounter slow(frequency);
    slow.Set(777);
    CPerfTimer timer(slow);
    timer.Start(5000000);
    EXPECT_EQ(timer.GetDeadline(), 777) << frequency;
    EXPECT_TRUE(timer.IsExpired()) << frequency;

    const auto readsBefore = slow.Reads();
    timer.Delay(100);  // one read to start, one check
    EXPECT_EQ(slow.Reads() - readsBefore, 2) << frequency;
  }
}

TEST(PerfTimer, DelaySpinsUntilTheDeadlineAndZeroReadsNothing) {
  CFakeCounter counter(1000000, 1);  // one microsecond per read
  CPerfTimer timer(counter);
  timer.Delay(0);
  EXPECT_EQ(counter.Reads(), 0);
  timer.Delay(10);  // start at 0, deadline 10, checks at 1..10
  EXPECT_EQ(counter.Reads(), 11);

  // The real clock: the wait is never short (nanoseconds).
  CPerfTimer steady;
  const auto first = steady.Now();
  steady.Delay(50);
  EXPECT_GE(steady.Now() - first, 50000);
}
