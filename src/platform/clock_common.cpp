// Platform-independent parts of the clock.
#include "platform/clock.h"

namespace corvane::platform {

std::string DateTimeText(const LocalTime& t) { return ShortDateText(t) + ' ' + LongTimeText(t); }

}  // namespace corvane::platform
