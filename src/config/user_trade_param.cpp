// Kvo_GetUserTradeParam: the parameter line of a transaction.
#include "common/error_codes.h"
#include "common/last_error.h"
#include "config/comma_text.h"
#include "config/text_convert.h"
#include "config/trade_cfg.h"
#include "platform/text.h"

namespace corvane {

int Kvo_GetUserTradeParam(const std::string& line, TUserTradeParam* param) {
  Kvo_SetLastError(kErrGetUserTradeParam);
  if (platform::TrimText(line).empty()) return -1;
  std::vector<std::string> items = SplitCommaText(line, 8);
  if (items.size() < 8) return -1;
  param->TradeNo = TextToInt(items[0]);
  param->FieldCount = TextToInt(items[1]);
  param->Item4 = TextToInt(items[3]);
  param->Item5 = items[4];
  param->Item6 = items[5];
  param->Item7 = items[6];
  param->Item8 = items[7];
  const std::string& flags = items[2];
  if (flags.size() < 13) return -1;
  for (int i = 0; i < 13; ++i) param->Flags[i] = std::string(1, flags[i]);
  param->Flags[13] = std::string(1, flags[0]);
  return 0;
}

}  // namespace corvane
