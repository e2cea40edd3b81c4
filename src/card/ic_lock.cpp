// Locking and unlocking the card with the transaction's serial number, and
// writing back card data that came from the front end.
#include "card/ic_card.h"
#include "card/lock_field.h"
#include "common/fields.h"
#include "common/modes.h"
#include "config/trade_cfg.h"

namespace corvane {

namespace {

const char kLockWriteCode[] = "20";

int WriteLockText(const std::string& card_data) {
  std::string text = card_data + kSubFieldSep + kLockWriteCode;
  std::string tac;
  return Kvo_WriteICCard(kCardMode, &text, &tac);
}

}  // namespace

int Kvo_LockICCard(const std::string& card_data, double serial) {
  if (UserTradeParam().LockingOff()) return 0;
  std::string locked;
  if (!LockCardData(card_data, serial, &locked)) return -1;
  return WriteLockText(locked);
}

int Kvo_UnlockICCard(const std::string& card_data) {
  if (UserTradeParam().LockingOff()) return 0;
  std::string unlocked;
  if (!UnlockCardData(card_data, &unlocked)) return -1;
  return WriteLockText(unlocked);
}

int Kvo_WriteReplyCard(const std::string& mode, std::string* card_data, std::string* tac) {
  if (card_data->size() < kMinCardDataLength) return -1;
  card_data->replace(kLockFieldOffset, kLockFieldLength, kUnlockedField);
  return Kvo_WriteICCard(mode, card_data, tac);
}

}  // namespace corvane
