#include <stdio.h>
#include <sys/time.h>
#include <time.h>

#include "platform/clock.h"

namespace corvane::platform {

LocalTime Now() {
  struct timeval tv;
  gettimeofday(&tv, nullptr);
  struct tm tm;
  localtime_r(&tv.tv_sec, &tm);
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                   tm.tm_min,         tm.tm_sec,     static_cast<int>(tv.tv_usec / 1000)};
}

std::string ShortDateText(const LocalTime& t) {
  char buf[32];
  snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.year, t.month, t.day);
  return buf;
}

std::string LongTimeText(const LocalTime& t) {
  char buf[32];
  snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return buf;
}

}  // namespace corvane::platform
