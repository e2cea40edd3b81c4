// One numbered transaction: pre-checks, leftover report, card steps, remote
// call, reply head, card write-back, journal and the host's reply.
#include <cstdio>
#include <string>

#include "card/ic_card.h"
#include "common/error_codes.h"
#include "common/error_reply.h"
#include "common/fields.h"
#include "common/frame.h"
#include "common/last_error.h"
#include "common/session_flag.h"
#include "config/trade_cfg.h"
#include "config/trade_journal.h"
#include "platform/text.h"
#include "trade/entry.h"
#include "link/remote_trade.h"
#include "trade/trade_records.h"
#include "trade/trade_request.h"
#include "ui/settings_dialog.h"

namespace corvane {

namespace {

constexpr int32_t kSettingsDialogTrade = 52;
constexpr int32_t kLeftoverTrade = 49;
constexpr int32_t kSerialFlagTrade = 22;
constexpr int32_t kFirstDownloadTrade = 200;
constexpr int kSettingsDialogExit = 18;

int ApplyFail(int exit, const std::string& detail, std::string* reply) {
  char tag[64];
  std::snprintf(tag, sizeof tag, "%03d", exit);
  Kvo_MakeErrorReply(std::string("交易申请实现函数(f_UCApply):") + tag, detail, reply);
  return -1;
}

int FailWith(int32_t code, int exit, std::string* reply) {
  Kvo_SetLastError(code, ErrorMessage(code));
  return ApplyFail(exit, "", reply);
}

bool CutsReplyRest(int32_t trade_no) { return trade_no == 27 || trade_no == 29 || trade_no == 34; }

// Transaction 22: character 6 of reply field 7 set to "1" turns the journal
// on for the rest of the transaction and locks the card again.
void MarkSerialTrade(const std::string& remote_reply, const std::string& serial_text,
                     double serial) {
  std::string field7;
  Kvo_GetWideFields(remote_reply, kFieldSep, 7, &field7, 1);
  const std::u16string wide = platform::AnsiToWide(field7);
  if (wide.size() < 6 || wide[5] != u'1') return;
  UserTradeParam().Flags[6] = "1";
  Kvo_WriteTradeJournal(1, std::to_string(kSerialFlagTrade), serial_text, "", "", "", "",
                        JournalTimeText());
  Kvo_LockICCard(HisInHead().CardData, serial);
}

}  // namespace

int f_UCApply(int32_t trade_no, const std::string& request, double serial,
              const std::string& extra, std::string* reply) {
  if (trade_no == kSettingsDialogTrade) {
    if (Kvo_ShowSettingsDialog() != 0) return ApplyFail(kSettingsDialogExit, "", reply);
    *reply = "0~~~~";
    return 0;
  }
  if (Kvo_CheckInit() != 0) return ApplyFail(1, "", reply);
  std::string content;
  if (Kvo_CheckEntryPara(platform::TrimText(request), &content) != 0)
    return ApplyFail(1, "", reply);
  if (Kvo_CheckTradeRequest(trade_no, content, serial) != 0) return ApplyFail(2, "", reply);

  std::string remote_reply;
  std::string report_reply;
  if (Kvo_ReportLeftoverTrade(trade_no, content, &report_reply, Kvo_RemoteTrade) == -1)
    return ApplyFail(3, report_reply, reply);
  if (trade_no == kLeftoverTrade) remote_reply = report_reply;

  const bool card_trade = trade_no < kFirstDownloadTrade;
  THisInHeadParam& card = HisInHead();
  TUserTradeParam& param = UserTradeParam();
  const std::string trade_text = std::to_string(trade_no);
  const std::string serial_text = JournalSerialText(serial);

  if (card_trade) {
    std::string rest;
    if (Kvo_GetTailFields(content, kFieldSep, 5, &rest) != 0)
      return FailWith(kErrMoreThanFourFields, 4, reply);
    if (Kvo_GetHisInHead(content, &card) != 0) return FailWith(kErrFirstFourFields, 5, reply);
    Kvo_WriteTradeJournal(1, trade_text, serial_text, "", "", "", "", JournalTimeText());

    const bool uses_card = card.CardUse == "1";
    std::string card_read;
    if (param.Flag(2) == "1" && uses_card) {
      if (Kvo_ReadICCard("10", &card_read) != 0) return FailWith(kErrReadCard, 6, reply);
      card.CardData = card_read;
      if (param.Flag(5) == "1" && card.CardKind == "3") card.Extra.clear();
    }
    if (param.Flag(3) == "1" && uses_card) {
      // Rewrite only from the journalled exchange of this same serial.
      std::string rewrite;
      if (Kvo_FindCardRewrite(trade_no, param.Item7, card_read, serial, &rewrite) != 0)
        return ApplyFail(8, "", reply);
      std::string tac;
      if (Kvo_WriteReplyCard("10", &rewrite, &tac) != 0) return FailWith(kErrWriteCard, 9, reply);
      card.CardData = rewrite;
    } else if (param.Flag(4) == "1" && uses_card) {
      if (Kvo_LockICCard(card_read, serial) != 0) return FailWith(kErrLockCard, 10, reply);
      card.CardData = card_read;
    }
    content = card.CardUse + "~" + card.CardData + "~" + card.CardKind + "~" + card.Extra + "~" +
              rest;
  }
  content += "~" + extra;

  // The card state of a transaction below 200 concerns the card in the
  // reader; a download transaction leaves the card alone.
  const bool card_in_use = card_trade && card.CardUse == "1";
  if (trade_no != kLeftoverTrade) {
    remote_reply.clear();
    const int result = Kvo_RemoteTrade(trade_no, content, &remote_reply, serial);
    if (result == -1) {
      Kvo_WriteTradeJournal(2, trade_text, serial_text, "", "", "", "2", "");
      if (card_in_use) Kvo_UnlockICCard(card.CardData);
      // A request too long for the packet keeps its own code: nothing was sent.
      if (LastErrorCode() != kErrRequestTooLong)
        Kvo_SetLastError(kErrRemoteTrade, ErrorMessage(kErrRemoteTrade));
      return ApplyFail(11, remote_reply, reply);
    }
    Kvo_WriteTradeJournal(2, trade_text, serial_text, "", "", "", "1", "");
    if (result == 1 && card_in_use) Kvo_UnlockICCard(card.CardData);
  }

  TSvrBackHeadParam head;
  if (card_trade) {
    if (Kvo_GetSvrBackHead(remote_reply, &head) != 0) return FailWith(kErrReplyHead, 13, reply);
    const bool write_back = !(head.WriteCard.empty() || head.WriteCard == "0");
    if (write_back && card.CardUse == "1") {
      if (trade_no == kSerialFlagTrade) MarkSerialTrade(remote_reply, serial_text, serial);
      std::string tac;
      if (Kvo_WriteReplyCard("10", &head.CardData, &tac) != 0) {
        Kvo_WriteTradeJournal(3, trade_text, serial_text, tac, "", "2", "", "");
        return FailWith(kErrWriteCard, 14, reply);
      }
      Kvo_WriteTradeJournal(3, trade_text, serial_text, tac, "", "1", "", "");
    } else if (card.CardUse == "1") {
      if (Kvo_UnlockICCard(card.CardData) != 0) return FailWith(kErrUnlockCard, 15, reply);
    }
  }
  Kvo_CloseIC();

  std::string f1, f2;
  if (get_field(remote_reply, 1, &f1) != 0) return ApplyFail(16, "", reply);
  if (get_field(remote_reply, 2, &f2) != 0) return ApplyFail(17, "", reply);

  if (CutsReplyRest(trade_no)) {
    std::string sent_card_data;
    get_field(content, 2, &sent_card_data);
    const size_t at = sent_card_data.empty() ? std::string::npos : head.Rest.find(sent_card_data);
    head.Rest = at == std::string::npos ? std::string() : head.Rest.substr(0, at);
  }

  std::string final_reply =
      f1 + "~" + f2 + "~" + head.WriteCard + "~" + head.Field4 + "~" + head.CardData;
  if (head.Rest != kNoReplyRest) final_reply += "~" + head.Rest;

  Kvo_SaveTradeEntry(trade_no, content, final_reply, serial, kTradeLogFile, "");
  return Kvo_MergeExportPara(final_reply, kFrame, kFrame, reply) == 0 ? 0 : -1;
}

}  // namespace corvane
