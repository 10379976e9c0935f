#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Progress.h"

// A progress window that records what an operation told it, and presses
// Cancel after a chosen number of positions.
class CScriptedProgress : public CProgress {
 public:
  // Cancel is pressed while the unit whose SetPos is the n-th (from 1) runs,
  // so the poll that follows that SetPos reports it. 0 never cancels.
  void CancelAtPosition(int n) { cancelAt_ = n; }

  bool Create() override;
  void SetMessageText(const std::string& text) override { message = text; }
  void SetRange(std::int32_t lower, std::int32_t upper) override;
  std::int32_t SetPos(std::int32_t position) override;
  bool PollCancel() override;
  bool DestroyWindow() override;

  bool open = false;
  int creates = 0;
  int destroys = 0;
  std::string message;
  std::int32_t lower = 0;
  std::int32_t upper = 100;
  std::vector<std::int32_t> positions;

 private:
  int cancelAt_ = 0;
  bool cancelRequested_ = false;
};
