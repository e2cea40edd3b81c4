// Local time and its texts.
#pragma once

#include <string>

namespace corvane::platform {

struct LocalTime {
  int year, month, day, hour, minute, second, millisecond;
};

LocalTime Now();

// The system's short date and long time texts: on Windows the user's
// regional formats; elsewhere yyyy-mm-dd and hh:mm:ss.
std::string ShortDateText(const LocalTime& t);
std::string LongTimeText(const LocalTime& t);
// The short date, a blank and the long time: the time stamp of the journal
// and of the error record.
std::string DateTimeText(const LocalTime& t);
// The digits of a time in file and section names: "yyyymmdd", "hhmmss" and
// the milliseconds "mmm".
std::string DateDigits(const LocalTime& t);
std::string TimeDigits(const LocalTime& t);
std::string MillisecondDigits(const LocalTime& t);

}  // namespace corvane::platform
