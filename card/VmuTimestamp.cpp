#include "VmuTimestamp.h"

#include <ctime>

CVmuTimestamp CVmuTimestamp::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  const int year = local.tm_year + 1900;
  const int values[kLength] = {year / 100,    year % 100,   local.tm_mon + 1, local.tm_mday,
                               local.tm_hour, local.tm_min, local.tm_sec,     local.tm_wday};
  CVmuTimestamp stamp;
  for (std::uint32_t i = 0; i < kLength; ++i)
    stamp.GetData()[i] = card_format::ToBcd(static_cast<unsigned>(values[i]));
  return stamp;
}
