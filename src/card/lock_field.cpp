#include "card/lock_field.h"

#include "common/serial_text.h"

namespace corvane {

const char kUnlockedField[] = "00000000000000";

bool LockCardData(const std::string& card_data, double serial, std::string* locked) {
  if (card_data.size() < kMinCardDataLength) return false;
  std::string serial_text;
  if (!SerialText14(serial, &serial_text)) return false;
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
