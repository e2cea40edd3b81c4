// Platform-independent parts of the clock.
#include "platform/clock.h"

#include <cstdio>

namespace corvane::platform {

std::string DateTimeText(const LocalTime& t) { return ShortDateText(t) + ' ' + LongTimeText(t); }

std::string DateDigits(const LocalTime& t) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d%02d%02d", t.year % 10000, t.month % 100, t.day % 100);
  return digits;
}

std::string TimeDigits(const LocalTime& t) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%02d%02d%02d", t.hour % 100, t.minute % 100, t.second % 100);
  return digits;
}

std::string MillisecondDigits(const LocalTime& t) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%03d", t.millisecond % 1000);
  return digits;
}

}  // namespace corvane::platform
