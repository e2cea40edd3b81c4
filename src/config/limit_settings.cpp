#include "config/limit_settings.h"

#include <string>

#include "common/diagnostics.h"
#include "config/ini_text.h"
#include "config/trade_cfg.h"
#include "platform/text.h"

namespace corvane {

const char kKeyReplyBufferSize[] = "ReplyBufferSize";
const char kKeyConnectTimeout[] = "ConnectTimeout";
const char kKeyReplyTimeout[] = "ReplyTimeout";

int32_t Kvo_ReadLimitSetting(const char* key, const std::string& dir) {
  std::string text;
  if (Kvo_ReadIniFSection(kTradeCfgFile, kSectionSystem, key, &text, dir) != 0) return 0;
  text = platform::TrimText(text);
  if (text.empty()) return 0;
  int32_t value = 0;
  if (IniParseInteger(text, &value) && value >= 0) return value;
  Kvo_WriteDiagnostic(std::string("TradeCfg.ini SYSTEM/") + key, 0,
                      "ignored '" + text + "': not a positive whole number, so no limit applies");
  return 0;
}

}  // namespace corvane
