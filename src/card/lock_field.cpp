#include "card/lock_field.h"

#include <cmath>
#include <cstdio>

namespace corvane {

const char kUnlockedField[] = "00000000000000";

bool FormatLockSerial(double serial, std::string* text) {
  if (!std::isfinite(serial)) return false;
  const double whole = std::round(serial);
  if (whole < 0 || whole > 99999999999999.0) return false;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%014.0f", whole);
  std::string s(buf);
  if (s.size() != kLockFieldLength) return false;
  *text = s;
  return true;
}

bool LockCardData(const std::string& card_data, double serial, std::string* locked) {
  if (card_data.size() < kMinCardDataLength) return false;
  std::string serial_text;
  if (!FormatLockSerial(serial, &serial_text)) return false;
  *locked = card_data;
  if (card_data.compare(kLockFieldOffset, kLockFieldLength, kUnlockedField) == 0) {
    locked->replace(kLockFieldOffset, kLockFieldLength, serial_text);
  }
  return true;
}

bool UnlockCardData(const std::string& card_data, std::string* unlocked) {
  if (card_data.size() < kMinCardDataLength) return false;
  *unlocked = card_data;
  unlocked->replace(kLockFieldOffset, kLockFieldLength, kUnlockedField);
  return true;
}

}  // namespace corvane
