// Comma text and the transaction parameter line on arbitrary text: the item
// limit holds, and a parsed line is never accepted with a short flag text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/comma_text.h"
#include "config/trade_cfg.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const size_t limit = size > 0 ? data[0] % 16 : 8;
  if (SplitCommaText(text, limit).size() > limit) std::abort();
  SplitCommaText(text);
  TUserTradeParam param;
  try {
    if (Kvo_GetUserTradeParam(text, &param) == 0) {
      for (int i = 1; i <= 13; ++i) {
        if (param.Flag(i).size() != 1) std::abort();
      }
    }
  } catch (const std::exception&) {
    // A non-numeric number item is refused by a conversion failure.
  }
  return 0;
}
