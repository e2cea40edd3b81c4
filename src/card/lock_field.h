// The lock field of the card data: characters 181 to 194 (14 characters),
// "00000000000000" when the card is unlocked, otherwise the serial number of
// the transaction that locked it, zero-padded on the left.
#pragma once

#include <cstddef>
#include <string>

namespace corvane {

constexpr size_t kLockFieldOffset = 180;  // character 181, counted from 0
constexpr size_t kLockFieldLength = 14;
// Card data shorter than this cannot be locked, unlocked or written back.
constexpr size_t kMinCardDataLength = 368;
extern const char kUnlockedField[];  // "00000000000000"

// The card data with its lock field set to the serial number, when the
// field is unlocked; a field that holds another serial stays as it is.
// False when the data is too short or the serial does not fit.
bool LockCardData(const std::string& card_data, double serial, std::string* locked);

// The card data with its lock field set to zeros; false when too short.
bool UnlockCardData(const std::string& card_data, std::string* unlocked);

}  // namespace corvane
