#include "VmuTimestamp.h"

#include <algorithm>
#include <ctime>

#include "CardDate.h"

CVmuTimestamp CVmuTimestamp::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  card_format::Date date;
  date.year = static_cast<unsigned>(local.tm_year + 1900);
  date.month = static_cast<unsigned>(local.tm_mon + 1);
  date.day = static_cast<unsigned>(local.tm_mday);
  date.hour = static_cast<unsigned>(local.tm_hour);
  date.minute = static_cast<unsigned>(local.tm_min);
  date.second = static_cast<unsigned>(std::min(local.tm_sec, 59));  // not 60 in a leap second
  date.weekday = card_format::MondayBased(static_cast<unsigned>(local.tm_wday));
  CVmuTimestamp stamp;
  card_format::ToStamp(date, stamp.GetData());
  return stamp;
}
