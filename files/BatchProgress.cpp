#include "BatchProgress.h"

#include <algorithm>
#include <utility>

namespace {
constexpr std::int32_t kShare = 1000;  // of the window's range, for each file
}  // namespace

CBatchProgress::CBatchProgress(CProgress& window, std::size_t files)
    : window_(window), files_(static_cast<std::int32_t>(files)) {}

CBatchProgress::~CBatchProgress() {
  CloseWindow();
}

void CBatchProgress::CloseWindow() {
  if (open_) window_.DestroyWindow();
  open_ = false;
}

bool CBatchProgress::Create() {
  if (open_) return true;
  open_ = window_.Create();
  if (open_) window_.SetRange(0, files_ * kShare);
  return open_;
}

void CBatchProgress::SetRange(std::int32_t lower, std::int32_t upper) {
  lower_ = lower;
  upper_ = std::max(upper, lower + 1);
}

// The command gets back its own previous position, not the window's.
std::int32_t CBatchProgress::SetPos(std::int32_t position) {
  const std::int64_t within = std::int64_t{position - lower_} * kShare / (upper_ - lower_);
  window_.SetPos(file_ * kShare + static_cast<std::int32_t>(within));
  return std::exchange(position_, position);
}
