#pragma once

// What every progress window promises the commands, whatever draws it (see
// Progress.h). A test program includes this once and instantiates the suite
// with a small factory per implementation:
//   INSTANTIATE_TEST_SUITE_P(Terminal, ProgressContract, ::testing::Values(...), ProgressName);

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "Progress.h"

// One window to test, with what it needs kept alive beside it.
struct ProgressOnTest {
  std::shared_ptr<void> keep;
  CProgress* window = nullptr;
  // Presses Cancel as the user would while a unit runs; empty where no one can.
  std::function<void()> pressCancel;
};

struct ProgressUnderTest {
  const char* name;
  std::function<ProgressOnTest()> make;
};

inline void PrintTo(const ProgressUnderTest& tested, std::ostream* out) {
  *out << tested.name;
}
inline std::string ProgressName(const ::testing::TestParamInfo<ProgressUnderTest>& info) {
  return info.param.name;
}

class ProgressContract : public ::testing::TestWithParam<ProgressUnderTest> {
 protected:
  void SetUp() override {
    made_ = GetParam().make();
    ASSERT_NE(made_.window, nullptr);
  }
  // Create, the message and the range, as every operation starts.
  void Open(std::int32_t lower, std::int32_t upper) {
    ASSERT_TRUE(made_.window->Create());
    made_.window->SetMessageText("Reading page...");
    made_.window->SetRange(lower, upper);
  }
  CProgress& Window() { return *made_.window; }
  ProgressOnTest made_;
};

// The previous position comes back as it was given, outside the range too.
TEST_P(ProgressContract, SetPosReturnsThePreviousPosition) {
  Open(10, 20);
  Window().SetPos(12);
  EXPECT_EQ(Window().SetPos(15), 12);
  EXPECT_EQ(Window().SetPos(11), 15);
  EXPECT_EQ(Window().SetPos(25), 11);
  EXPECT_EQ(Window().SetPos(5), 25);
  EXPECT_EQ(Window().SetPos(20), 5);
  EXPECT_TRUE(Window().DestroyWindow());
}

TEST_P(ProgressContract, PollCancelReportsAPressOnceAndClearsIt) {
  Open(0, 4);
  EXPECT_FALSE(Window().PollCancel());
  Window().SetPos(0);
  EXPECT_FALSE(Window().PollCancel());
  if (made_.pressCancel) {  // a window no one watches is never cancelled
    made_.pressCancel();
    Window().SetPos(1);  // reporting a position does not use up the request
    EXPECT_TRUE(Window().PollCancel());
    EXPECT_FALSE(Window().PollCancel());
    Window().SetPos(2);
    EXPECT_FALSE(Window().PollCancel());
  }
  Window().DestroyWindow();
}

// Closing a closed window does nothing; the window opens again as new.
TEST_P(ProgressContract, DestroyWindowTwiceIsHarmlessAndTheWindowOpensAgain) {
  Open(0, 8);
  Window().SetPos(3);
  EXPECT_TRUE(Window().DestroyWindow());
  Window().DestroyWindow();
  Open(0, 2);
  Window().SetPos(1);
  EXPECT_EQ(Window().SetPos(2), 1);
  EXPECT_FALSE(Window().PollCancel());
  EXPECT_TRUE(Window().DestroyWindow());
  Window().DestroyWindow();
}
