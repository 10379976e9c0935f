#pragma once

#include "Progress.h"

// A progress window nobody watches: every call succeeds and Cancel is never
// pressed, so each command runs its whole course.
class CQuietProgress : public CProgress {
 public:
  bool Create() override { return true; }
  void SetMessageText(const std::string&) override {}
  void SetRange(std::int32_t, std::int32_t) override {}
  std::int32_t SetPos(std::int32_t position) override {
    const std::int32_t previous = position_;
    position_ = position;
    return previous;
  }
  bool PollCancel() override { return false; }
  bool DestroyWindow() override { return true; }

 private:
  std::int32_t position_ = 0;
};
