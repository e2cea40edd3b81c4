#include "config/trade_cfg_keys.h"

#include <cstring>

namespace corvane {

const TradeCfgKey kTradeCfgKeys[] = {
    {"HardWare", "Com", true, 5},
    {"HardWare", "ReadType", true, 501},
    {"HardWare", "CardType", true, 501},
    {"HardWare", "baud", true, 9600},
    {"HardWare", "OpType", true, 1},
    {"TRADEMANAGE", "CurrentTrade", false, 0},
    {"TRADEMANAGE", "TradeTime", false, 0},
    {"TRADEMANAGE", "MaxOutTime", false, 0},
    {"SYSTEM", "LocalIP", false, 0},
    {"SYSTEM", "SysHaveInit", false, 0},
    {"SYSTEM", "AccBench", false, 0},
    {"SYSTEM", "TermLog", false, 0},
    {"SYSTEM", "NativeAddress", false, 0},
    {"SYSTEM", "NativeServer", false, 0},
    {"SYSTEM", "AREAID", false, 0},
    {"TUXEDO", "Perm", false, 0},
    {"TUXEDO", "AppPassword", false, 0},
    {"TUXEDO", "UserName", false, 0},
    {"TUXEDO", "Password", false, 0},
    {"TUXEDO", "ClientName", false, 0},
    {"TUXEDO", "GroupName", false, 0},
};
const int kTradeCfgKeyCount = sizeof kTradeCfgKeys / sizeof kTradeCfgKeys[0];

int32_t TradeCfgDefault(const char* key) {
  for (const TradeCfgKey& k : kTradeCfgKeys)
    if (k.integer && std::strcmp(k.key, key) == 0) return k.default_value;
  return 0;
}

}  // namespace corvane
