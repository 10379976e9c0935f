#include "Progress.h"

#include <cstdio>

std::string FormatPercent(std::int32_t lower, std::int32_t upper, std::int32_t position) {
  // In 64 bits: the product of a position far into a large range and 100
  // must not overflow.
  const std::int64_t width = std::int64_t{upper} - lower;
  const std::int64_t offset = std::int64_t{position} - lower;
  std::int64_t percent = width != 0 ? offset * 100 / width : 0;
  if (percent != 100) percent %= 100;
  char text[24];
  std::snprintf(text, sizeof text, "%lld%c", static_cast<long long>(percent), '%');
  return text;
}

CProgressSession::CProgressSession(CProgress& progress, const std::string& message,
                                   std::int32_t units)
    : progress_(progress) {
  progress_.Create();
  progress_.SetMessageText(message);
  progress_.SetRange(0, units);
}

CProgressSession::~CProgressSession() {
  Close();
}

bool CProgressSession::UnitDone(std::int32_t position) {
  progress_.SetPos(position);
  return progress_.PollCancel();
}

void CProgressSession::Close() {
  if (open_) progress_.DestroyWindow();
  open_ = false;
}
