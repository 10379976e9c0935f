#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Progress.h"

// One window for all the files of a batch: the commands' own Create and
// DestroyWindow keep it open, and their ranges map onto their file's equal
// share of the window's range.
class CBatchProgress : public CProgress {
 public:
  CBatchProgress(CProgress& window, std::size_t files);
  ~CBatchProgress() override;

  void StartFile(std::size_t k) { file_ = static_cast<std::int32_t>(k); }
  void CloseWindow();

  bool Create() override;
  void SetMessageText(const std::string& text) override { window_.SetMessageText(text); }
  void SetRange(std::int32_t lower, std::int32_t upper) override;
  std::int32_t SetPos(std::int32_t position) override;
  bool PollCancel() override { return window_.PollCancel(); }
  bool DestroyWindow() override { return true; }

 private:
  CProgress& window_;
  std::int32_t files_;
  std::int32_t file_ = 0;
  std::int32_t lower_ = 0, upper_ = 1;
  std::int32_t position_ = 0;  // in the command's own range
  bool open_ = false;
};
