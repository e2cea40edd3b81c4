// The keys of TradeCfg.ini that a session start creates, with the default
// of the integer ones (used when the value is not a number).
#pragma once

#include <cstdint>

namespace corvane {

struct TradeCfgKey {
  const char* section;
  const char* key;
  bool integer;         // read as an integer
  int32_t default_value;  // for integer keys
};

// In the order a session start writes them.
extern const TradeCfgKey kTradeCfgKeys[];
extern const int kTradeCfgKeyCount;

// The default of an integer key of section HardWare.
int32_t TradeCfgDefault(const char* key);

}  // namespace corvane
