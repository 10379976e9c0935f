#pragma once

#include <ostream>
#include <string>

#include "Progress.h"

// The command line's progress window: on a terminal, one line on standard
// error with the command's message, a bar and the percentage; elsewhere
// nothing. Ctrl-C is the Cancel button: the first one records a request that
// the command collects at its next poll; a second one ends the program.
class CTerminalProgress : public CProgress {
 public:
  CTerminalProgress(std::ostream& err, bool draw);

  // Makes Ctrl-C a cancel request for the life of the program.
  static void CatchInterrupts();
  // For tests: as if Ctrl-C had been pressed.
  static void RequestCancel();

  bool Create() override;
  void SetMessageText(const std::string& text) override;
  void SetRange(std::int32_t lower, std::int32_t upper) override;
  std::int32_t SetPos(std::int32_t position) override;
  bool PollCancel() override;
  bool DestroyWindow() override;

 private:
  void Draw();

  std::ostream& err_;
  bool draw_;
  bool open_ = false;
  std::string message_;
  std::int32_t lower_ = 0;
  std::int32_t upper_ = 100;
  std::int32_t position_ = 0;
  bool positioned_ = false;
  std::string shown_;  // the line last drawn, so an unchanged one is not redrawn
};
