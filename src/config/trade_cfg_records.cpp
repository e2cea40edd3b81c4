// The process-wide settings records and the card parameter record's text
// buffer.
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "config/trade_cfg.h"

namespace corvane {

// The card library reads TICC_ENV by layout; the 32-bit build must match it.
static_assert(sizeof(void*) != 4 || sizeof(TICC_ENV) == 76, "TICC_ENV must be 76 bytes");
static_assert(sizeof(void*) != 4 || offsetof(TICC_ENV, ReadType) == 0, "ReadType at 0");
static_assert(sizeof(void*) != 4 || offsetof(TICC_ENV, CardType) == 4, "CardType at 4");
static_assert(sizeof(void*) != 4 || offsetof(TICC_ENV, Port) == 8, "Port at 8");
static_assert(sizeof(void*) != 4 || offsetof(TICC_ENV, Baud) == 12, "Baud at 12");
static_assert(sizeof(void*) != 4 || offsetof(TICC_ENV, Reserved16) == 16, "Reserved16 at 16");
static_assert(sizeof(void*) != 4 || offsetof(TICC_ENV, Reserved20) == 20, "Reserved20 at 20");
static_assert(sizeof(void*) != 4 || offsetof(TICC_ENV, CodeA) == 24, "CodeA at 24");
static_assert(sizeof(void*) != 4 || offsetof(TICC_ENV, CodeB) == 28, "CodeB at 28");
static_assert(sizeof(void*) != 4 || offsetof(TICC_ENV, ServerAddress) == 32, "ServerAddress at 32");
static_assert(sizeof(void*) != 4 || offsetof(TICC_ENV, Reserved36) == 36, "Reserved36 at 36");
static_assert(sizeof(void*) != 4 || offsetof(TICC_ENV, TextBuffer) == 40, "TextBuffer at 40");
static_assert(sizeof(void*) != 4 || offsetof(TICC_ENV, OpType) == 44, "OpType at 44");
static_assert(sizeof(void*) != 4 || offsetof(TICC_ENV, Reserved48) == 48, "Reserved48 at 48");
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
