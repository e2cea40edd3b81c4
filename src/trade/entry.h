// The implementation routines behind the four exports.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// Session initialisation; reply framed.
int f_UCInit(const std::string& request, std::string* reply);

// One transaction; reply framed (transaction 52: "0~~~~").  The export
// runs a transaction inside an IniCallScope (TradeCfg.ini and TradeLog.ini
// read once, the reply's size check included); the settings dialog reads
// them afresh.
int f_UCApply(int32_t trade_no, const std::string& request, double serial,
              const std::string& extra, std::string* reply);

// Session close; reply framed.
int f_UCClose(const std::string& request, std::string* reply);

}  // namespace corvane
