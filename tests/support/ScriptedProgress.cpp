#include "ScriptedProgress.h"

#include <gtest/gtest.h>

bool CScriptedProgress::Create() {
  EXPECT_FALSE(open) << "the progress window was opened twice";
  open = true;
  ++creates;
  return true;
}

void CScriptedProgress::SetRange(std::int32_t low, std::int32_t high) {
  lower = low;
  upper = high;
}

std::int32_t CScriptedProgress::SetPos(std::int32_t position) {
  EXPECT_TRUE(open) << "a position was set with no progress window open";
  EXPECT_LT(lower, upper) << "a position was set on an empty range";
  const std::int32_t previous = positions.empty() ? lower : positions.back();
  positions.push_back(position);
  if (cancelAt_ != 0 && static_cast<int>(positions.size()) == cancelAt_) cancelRequested_ = true;
  return previous;
}

bool CScriptedProgress::PollCancel() {
  const bool requested = cancelRequested_;
  cancelRequested_ = false;
  return requested;
}

bool CScriptedProgress::DestroyWindow() {
  if (open) ++destroys;
  open = false;
  return true;
}
