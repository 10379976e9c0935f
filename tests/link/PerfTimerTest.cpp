#include "PerfTimer.h"

#include <gtest/gtest.h>

#include "FakeCounter.h"

TEST(PerfTimer, TicksPerMicrosecondAreWholeAndDividedFirst) {
  CFakeCounter tenMegahertz(10000000);
  tenMegahertz.Set(1000);
  CPerfTimer timer(tenMegahertz);
  timer.Start(5000000);
  EXPECT_EQ(timer.GetDeadline(), 1000 + 50000000);

  // 3,579,545 Hz is 3 whole ticks per microsecond, not 3.58.
  CFakeCounter acpi(3579545);
  CPerfTimer acpiTimer(acpi);
  acpiTimer.Start(1000);
  EXPECT_EQ(acpiTimer.GetDeadline(), 3000);

  // The longest wait still fits: no 32-bit overflow in the product.
  CFakeCounter nanoseconds(1000000000);
  CPerfTimer longTimer(nanoseconds);
  longTimer.Start(0xFFFFFFFFu);
  EXPECT_EQ(longTimer.GetDeadline(), 0xFFFFFFFFLL * 1000);
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

TEST(PerfTimer, DeadlineEqualToCounterCountsAsExpired) {
  CFakeCounter counter(1000000);
  counter.Set(100);
  CPerfTimer timer(counter);
  timer.Start(5);  // deadline 105
  counter.Set(104);
  EXPECT_FALSE(timer.IsExpired());
  counter.Set(105);
  EXPECT_TRUE(timer.IsExpired());
  counter.Set(-5);  // compared as signed values
  EXPECT_FALSE(timer.IsExpired());
}

TEST(PerfTimer, DelaySpinsUntilTheDeadlineAndZeroReadsNothing) {
  CFakeCounter counter(1000000, 1);  // one microsecond per read
  CPerfTimer timer(counter);
  timer.Delay(0);
  EXPECT_EQ(counter.Reads(), 0);

  timer.Delay(10);  // start at 0, deadline 10, checks at 1..10
  EXPECT_EQ(counter.Reads(), 11);
}

TEST(PerfTimer, SteadyClockRunsForward) {
  CPerfTimer timer;
  const auto first = timer.Now();
  timer.Delay(50);
  EXPECT_GE(timer.Now() - first, 50000);  // nanoseconds: the wait is never short
}
