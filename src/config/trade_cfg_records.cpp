// The process-wide settings records and the card parameter record's text
// buffer.
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "config/trade_cfg.h"

namespace corvane {

// The card library reads TICC_ENV by layout; the 32-bit build must match it
// (offsets as in trade_cfg.h).
static_assert(sizeof(void*) != 4 ||
                  (offsetof(TICC_ENV, ReadType) == 0 && offsetof(TICC_ENV, CardType) == 4 &&
                   offsetof(TICC_ENV, Port) == 8 && offsetof(TICC_ENV, Baud) == 12 &&
                   offsetof(TICC_ENV, Reserved16) == 16 && offsetof(TICC_ENV, Reserved20) == 20 &&
                   offsetof(TICC_ENV, CodeA) == 24 && offsetof(TICC_ENV, CodeB) == 28 &&
                   offsetof(TICC_ENV, ServerAddress) == 32 && offsetof(TICC_ENV, Reserved36) == 36 &&
                   offsetof(TICC_ENV, TextBuffer) == 40 && offsetof(TICC_ENV, OpType) == 44 &&
                   offsetof(TICC_ENV, Reserved48) == 48 && sizeof(TICC_ENV) == 76),
              "32-bit TICC_ENV layout");
// The 64-bit builds: natural alignment, as documented in the header.
static_assert(sizeof(void*) != 8 || (offsetof(TICC_ENV, TextBuffer) == 56 &&
                                     offsetof(TICC_ENV, OpType) == 64 &&
                                     sizeof(TICC_ENV) == 96),
              "64-bit TICC_ENV layout");

const char kTradeCfgFile[] = "TradeCfg.ini";
const char kTradeLogFile[] = "TradeLog.ini";
const char kSectionUserTrade[] = "USERTRADE";
const char kSectionSystem[] = "SYSTEM";
const char kSectionHardWare[] = "HardWare";
const char kPendingSection[] = "000";
const std::array<const char*, 7> kPendingKeys = {"TradeTypeID", "TradeId", "TradeTime", "Ybzt",
                                                  "Iczt",        "Hiszt",   "TAC"};
const char kIccServerAddress[] = "127.0.0.1";

namespace {

TICC_ENV g_icc_env{};  // zero when the library is loaded

}  // namespace

TSystemCfg& SystemCfg() {
  static TSystemCfg cfg;
  return cfg;
}

TICC_ENV& IccEnv() { return g_icc_env; }

void AllocateIccTextBuffer() {
  if (!g_icc_env.TextBuffer) {
    g_icc_env.TextBuffer = static_cast<char*>(std::calloc(kIccTextBufferSize, 1));
  }
}

void FreeIccTextBuffer() {
  std::free(g_icc_env.TextBuffer);
  g_icc_env.TextBuffer = nullptr;
}

TUserTradeParam& UserTradeParam() {
  static TUserTradeParam param;
  return param;
}

TPackEdit& PackEdit() {
  static TPackEdit record;
  return record;
}

TError& ErrorRecord() {
  static TError record;
  return record;
}

}  // namespace corvane
