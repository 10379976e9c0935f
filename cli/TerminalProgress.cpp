#include "TerminalProgress.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t cancelRequested = 0;

extern "C" void OnInterrupt(int) {
  cancelRequested = 1;
  std::signal(SIGINT, SIG_DFL);  // a second Ctrl-C ends the program
}

constexpr int kBarWidth = 30;
}  // namespace

CTerminalProgress::CTerminalProgress(std::ostream& err, bool draw) : err_(err), draw_(draw) {}

void CTerminalProgress::CatchInterrupts() {
  std::signal(SIGINT, OnInterrupt);
}

void CTerminalProgress::RequestCancel() {
  cancelRequested = 1;
}

bool CTerminalProgress::Create() {
  open_ = true;
  positioned_ = false;
  shown_.clear();
  return true;
}

void CTerminalProgress::SetMessageText(const std::string& text) {
  message_ = text;
  Draw();
}

void CTerminalProgress::SetRange(std::int32_t lower, std::int32_t upper) {
  lower_ = lower;
  upper_ = upper;
}

std::int32_t CTerminalProgress::SetPos(std::int32_t position) {
  const std::int32_t previous = position_;
  position_ = position;
  positioned_ = true;
  Draw();
  return previous;
}

bool CTerminalProgress::PollCancel() {
  const bool requested = cancelRequested != 0;
  if (requested) {
    cancelRequested = 0;
    CatchInterrupts();  // the next Ctrl-C is a request again
  }
  return requested;
}

bool CTerminalProgress::DestroyWindow() {
  if (open_ && draw_ && !shown_.empty()) err_ << '\n' << std::flush;
  open_ = false;
  return true;
}

void CTerminalProgress::Draw() {
  if (!draw_ || !open_) return;
  std::string line = message_;
  if (positioned_ && upper_ > lower_) {
    const double fraction = double(position_ - lower_) / double(upper_ - lower_);
    const std::size_t width = kBarWidth;
    const std::size_t filled = fraction <= 0   ? 0
                               : fraction >= 1 ? width
                                               : static_cast<std::size_t>(fraction * kBarWidth);
    line += " [" + std::string(filled, '#') + std::string(width - filled, ' ') + "] " +
            FormatPercent(lower_, upper_, position_);
  }
  if (line == shown_) return;
  err_ << '\r' << line << "\x1b[K" << std::flush;
  shown_ = line;
}
