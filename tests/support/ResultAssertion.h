#pragma once

#include <gtest/gtest.h>

#include "Result.h"

// EXPECT_TRUE(Succeeded(...)) shows a failure's message.
inline ::testing::AssertionResult Succeeded(const Result& result) {
  if (result) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << result.Message();
}
