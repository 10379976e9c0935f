#pragma once

#include <cstdint>
#include <string>

// The "Data Transfer" window every long card operation runs under, as the
// commands see it. Every operation uses it in one pattern: Create,
// SetMessageText, SetRange(0, units), then per unit the transfer, SetPos with
// the position where the finished unit started and PollCancel; DestroyWindow
// at the end, before any message or file choice that follows. The front end
// keeps its window alive only inside SetPos and PollCancel.
class CProgress {
 public:
  virtual ~CProgress() = default;

  virtual bool Create() = 0;  // opens the window; the main window is inert meanwhile
  virtual void SetMessageText(const std::string& text) = 0;
  virtual void SetRange(std::int32_t lower, std::int32_t upper) = 0;
  virtual std::int32_t SetPos(std::int32_t position) = 0;  // returns the previous position
  // Whether Cancel was asked for since the last poll; the request is cleared.
  virtual bool PollCancel() = 0;
  virtual bool DestroyWindow() = 0;  // closing a closed window does nothing
};

// The percentage a progress window shows for a position: "42%". It wraps with
// the range (150 of 100 shows 50%) except that exactly 100 stays 100%.
// The range must not be empty.
std::string FormatPercent(std::int32_t lower, std::int32_t upper, std::int32_t position);

// Closes the window on every way out of an operation.
class CProgressSession {
 public:
  CProgressSession(CProgress& progress, const std::string& message, std::int32_t units);
  ~CProgressSession();
  CProgressSession(const CProgressSession&) = delete;
  CProgressSession& operator=(const CProgressSession&) = delete;

  // SetPos then PollCancel: true when the user asked to stop.
  bool UnitDone(std::int32_t position);
  void Close();

 private:
  CProgress& progress_;
  bool open_ = true;
};
