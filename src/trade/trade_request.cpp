#include "trade/trade_request.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "common/error_codes.h"
#include "common/fields.h"
#include "common/last_error.h"
#include "common/serial_text.h"
#include "common/trade_numbers.h"
#include "config/trade_cfg.h"
#include "config/trade_journal.h"
#include "link/inner_pack.h"
#include "platform/text.h"

namespace corvane {

const char kNoReplyRest[] = "error return";

THisInHeadParam& HisInHead() {
  static THisInHeadParam head;
  return head;
}

int Kvo_CheckTradeRequest(int32_t trade_no, const std::string& content_in, double serial,
                          size_t sent_bytes) {
  const std::string content = platform::TrimText(content_in);
  std::string line = std::to_string(trade_no);
  if (Kvo_ReadTradeCfg(&line) != 0) return Kvo_SetLastError(kErrReadSettings);
  // Refused here, before the card is touched or anything is sent.
  if (Kvo_CheckPackFields(trade_no, sent_bytes, serial, SystemCfg().LocalIP) != 0) return -1;
  if (!IsCardTrade(trade_no)) return 0;

  std::string field5;
  if (get_field(content, 5, &field5) != 0)
    return Kvo_SetLastError(kErrField5);

  TUserTradeParam& param = UserTradeParam();
  int parsed;
  try {
    parsed = Kvo_GetUserTradeParam(line, &param);
  } catch (...) {
    // A line with a non-numeric item: refuse the transaction rather than
    // run it unchecked.
    return Kvo_SetLastError(kErrGetUserTradeParam);
  }
  if (parsed != 0) return 0;

  if (Kvo_CountFields(content, kFieldSep) != param.FieldCount)
    return Kvo_SetLastError(kErrFieldCount);
  if (!param.ChecksSerial()) return 0;
  std::string digits;
  if (!SerialText14(serial, &digits) ||
      Kvo_CheckTradeSerial(std::to_string(trade_no), digits) != 0)
    return Kvo_SetLastError(kErrSerialCheck);
  return 0;
}

namespace {

// Fields first, first + 1, ... of text into *targets in order; -1 at the
// first field missing (those before it are kept).
int ReadFieldsFrom(const std::string& text, int first, std::initializer_list<std::string*> targets) {
  for (std::string* target : targets) {
    std::string value;
    if (get_field(text, first++, &value) != 0) return -1;
    *target = value;
  }
  return 0;
}

}  // namespace

int Kvo_GetHisInHead(const std::string& content, THisInHeadParam* head) {
  return ReadFieldsFrom(content, 1, {&head->CardUse, &head->CardData, &head->CardKind, &head->Extra});
}

int Kvo_GetSvrBackHead(const std::string& reply, TSvrBackHeadParam* head) {
  if (ReadFieldsFrom(reply, 3, {&head->WriteCard, &head->Field4, &head->CardData, &head->Field6}) != 0)
    return -1;
  if (Kvo_GetTailFields(reply, kFieldSep, 7, &head->Rest) != 0) head->Rest = kNoReplyRest;
  return 0;
}

}  // namespace corvane
