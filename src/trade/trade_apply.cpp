// One numbered transaction: pre-checks, leftover report, card in, remote
// call, reply head, card out, journal and the host's reply.  Each step
// returns the exit tag of its failure, or nullptr when it went through.
#include <stdexcept>
#include <string>

#include "card/ic_card.h"
#include "common/diagnostics.h"
#include "common/error_codes.h"
#include "common/error_reply.h"
#include "common/fields.h"
#include "common/frame.h"
#include "common/last_error.h"
#include "common/modes.h"
#include "common/session_flag.h"
#include "common/trade_numbers.h"
#include "config/trade_cfg.h"
#include "config/trade_journal.h"
#include "link/remote_trade.h"
#include "platform/text.h"
#include "trade/entry.h"
#include "trade/trade_records.h"
#include "trade/trade_request.h"
#include "trade/unrecorded_trade.h"
#include "ui/settings_dialog.h"

namespace corvane {

namespace {

const char kApplyTag[] = "交易申请实现函数(f_UCApply)";

using Exit = const char*;

// What one transaction carries from step to step.
struct Transaction {
  Transaction(int32_t trade_no, double serial_no) : no(trade_no), serial(serial_no) {}

  int32_t no;
  double serial;
  std::string content;       // the request without its frame, later as sent
  std::string remote_reply;  // the front end's reply (49: the report's)
  std::string detail;        // the body of the error reply, when a step gives one
  THisInHeadParam& card = HisInHead();
  TSvrBackHeadParam head;

  // The card state of a transaction below 200 concerns the card in the
  // reader; a download transaction leaves the card alone.
  bool CardInUse() const { return IsCardTrade(no) && card.CardUse == "1"; }
};

Exit Fail(int32_t code, Exit exit) {
  Kvo_SetLastError(code);
  return exit;
}

// The front end carried out trade_no and answered with front_reply, but the
// journal refused the write that records it: the flow stops here, as after
// a crash at this point (the card stays as it is), and the host gets -7208
// with the front end's reply.
Exit Unrecorded(Transaction& t, int32_t trade_no, const std::string& front_reply) {
  t.detail = UnrecordedTradeBody(std::string(kApplyTag) + ":019", trade_no, front_reply);
  return ":019";
}

// The request as the packet will carry it is the content, "~" and the
// additional field (the card steps keep the content's length, but for the
// card data read).
Exit PreChecks(Transaction& t, const std::string& request, const std::string& extra) {
  if (Kvo_CheckInit() != 0) return ":001";
  if (Kvo_CheckEntryPara(platform::TrimText(request), &t.content) != 0) return ":001";
  const size_t sent_bytes = t.content.size() + 1 + extra.size();
  if (Kvo_CheckTradeRequest(t.no, t.content, t.serial, sent_bytes) != 0) return ":002";
  return nullptr;
}

// The report empties section 000 once the front end has answered it; a
// refusal of that write comes after the report was carried out.
Exit ReportLeftover(Transaction& t) {
  std::string report;
  bool answered = false;
  auto remote = [&answered](int32_t no, const std::string& request, std::string* reply,
                            double serial) {
    const int result = Kvo_RemoteTrade(no, request, reply, serial);
    answered = result != -1;
    return result;
  };
  int result = -1;
  if (!JournalWritten([&] { result = Kvo_ReportLeftoverTrade(t.no, t.content, &report, remote); })) {
    if (answered) return Unrecorded(t, kLeftoverReportTrade, report);
    throw std::runtime_error("leftover report failed before its remote call");
  }
  if (result == -1) {
    t.detail = report;
    return ":003";
  }
  if (t.no == kLeftoverReportTrade) t.remote_reply = report;
  return nullptr;
}

Exit ReadCard(Transaction& t, std::string* card_read) {
  const TUserTradeParam& flags = UserTradeParam();
  if (!flags.ReadsCard() || !t.CardInUse()) return nullptr;
  if (Kvo_ReadICCard(kCardMode, card_read) != 0) return Fail(kErrReadCard, ":006");
  t.card.CardData = *card_read;
  if (flags.EmptiesKind3Extra() && t.card.CardKind == "3") t.card.Extra.clear();
  return nullptr;
}

// Rewrite only from the journalled exchange of this same serial; or lock.
Exit RewriteOrLockCard(Transaction& t, const std::string& card_read) {
  const TUserTradeParam& flags = UserTradeParam();
  if (!t.CardInUse()) return nullptr;
  if (flags.RewritesCard()) {
    std::string rewrite, tac;
    if (Kvo_FindCardRewrite(t.no, flags.Item7, card_read, t.serial, &rewrite) != 0) return ":008";
    if (Kvo_WriteReplyCard(kCardMode, &rewrite, &tac) != 0) return Fail(kErrWriteCard, ":009");
    t.card.CardData = rewrite;
  } else if (flags.LocksCard()) {
    if (Kvo_LockICCard(card_read, t.serial) != 0) return Fail(kErrLockCard, ":010");
    t.card.CardData = card_read;
  }
  return nullptr;
}

// Below 200: the head fields become the card state, the card is read,
// rewritten or locked, and the content carries the card state on.
Exit CardIn(Transaction& t) {
  if (!IsCardTrade(t.no)) return nullptr;
  std::string rest;
  if (Kvo_GetTailFields(t.content, kFieldSep, 5, &rest) != 0)
    return Fail(kErrMoreThanFourFields, ":004");
  if (Kvo_GetHisInHead(t.content, &t.card) != 0) return Fail(kErrFirstFourFields, ":005");
  JournalStarted(t.no, t.serial);
  std::string card_read;
  if (Exit exit = ReadCard(t, &card_read)) return exit;
  if (Exit exit = RewriteOrLockCard(t, card_read)) return exit;
  const THisInHeadParam& c = t.card;
  t.content = c.CardUse + "~" + c.CardData + "~" + c.CardKind + "~" + c.Extra + "~" + rest;
  return nullptr;
}

// Every transaction but 49, whose report already was its remote call.  A
// refused or failed call unlocks the card (result ignored).
Exit RemoteCall(Transaction& t) {
  if (t.no == kLeftoverReportTrade) return nullptr;
  t.remote_reply.clear();
  const int result = Kvo_RemoteTrade(t.no, t.content, &t.remote_reply, t.serial);
  const bool recorded = JournalWritten([&] { JournalRemoteDone(t.no, t.serial, result != -1); });
  if (result != -1 && !recorded) return Unrecorded(t, t.no, t.remote_reply);
  if (result == -1 && t.CardInUse()) Kvo_UnlockICCard(t.card.CardData);
  if (result == 1 && t.CardInUse()) Kvo_UnlockICCard(t.card.CardData);
  if (result != -1) return nullptr;
  t.detail = t.remote_reply;
  // A request that a card read made too long for the packet keeps its own
  // code: nothing was sent.
  if (LastErrorCode() == kErrRequestTooLong) return ":011";
  return Fail(kErrRemoteTrade, ":011");
}

Exit ReplyHead(Transaction& t) {
  if (!IsCardTrade(t.no)) return nullptr;
  if (Kvo_GetSvrBackHead(t.remote_reply, &t.head) != 0) return Fail(kErrReplyHead, ":013");
  return nullptr;
}

// Transaction 22: character 6 of reply field 7 set to "1" turns the journal
// on for the rest of the transaction and locks the card again.  False when
// the journal refused that write.
bool MarkJournalTrade(const Transaction& t) {
  std::string field7;
  Kvo_GetWideFields(t.remote_reply, kFieldSep, 7, &field7, 1);
  const std::u16string wide = platform::AnsiToWide(field7);
  if (wide.size() < 6 || wide[5] != u'1') return true;
  UserTradeParam().SwitchJournalOn();
  if (!JournalWritten([&] { JournalStarted(t.no, t.serial); })) return false;
  Kvo_LockICCard(t.card.CardData, t.serial);
  return true;
}

// Card data in reply field 5 goes to the card when field 3 asks for it;
// otherwise the card is unlocked.
Exit WriteBackOrUnlock(Transaction& t) {
  const std::string& write_card = t.head.WriteCard;
  if (write_card.empty() || write_card == "0") {
    if (Kvo_UnlockICCard(t.card.CardData) != 0) return Fail(kErrUnlockCard, ":015");
    return nullptr;
  }
  if (t.no == kCardJournalTrade && !MarkJournalTrade(t))
    return Unrecorded(t, t.no, t.remote_reply);
  std::string tac;
  const bool written = Kvo_WriteReplyCard(kCardMode, &t.head.CardData, &tac) == 0;
  if (!JournalWritten([&] { JournalCardDone(t.no, t.serial, tac, written); })) {
    if (!written) Kvo_NoteCause("the reply's card data was not written to the card either");
    return Unrecorded(t, t.no, t.remote_reply);
  }
  return written ? nullptr : Fail(kErrWriteCard, ":014");
}

Exit CardOut(Transaction& t) {
  if (t.CardInUse()) {
    if (Exit exit = WriteBackOrUnlock(t)) return exit;
  }
  Kvo_CloseIC();
  return nullptr;
}

// Transactions 27, 29 and 34: the reply rest ends before the card data
// that was sent (field 2 of the content); empty when that does not occur.
std::string RestBeforeSentCard(const std::string& rest, const std::string& content) {
  std::string sent_card_data;
  get_field(content, 2, &sent_card_data);
  const size_t at = sent_card_data.empty() ? std::string::npos : rest.find(sent_card_data);
  return at == std::string::npos ? std::string() : rest.substr(0, at);
}

// Fields 1 and 2 of the front end's reply, then the reply head.
Exit ReplyText(Transaction& t, std::string* text) {
  std::string f1, f2;
  if (get_field(t.remote_reply, 1, &f1) != 0) return ":016";
  if (get_field(t.remote_reply, 2, &f2) != 0) return ":017";
  TSvrBackHeadParam& head = t.head;
  if (CutsReplyRest(t.no)) head.Rest = RestBeforeSentCard(head.Rest, t.content);
  *text = f1 + "~" + f2 + "~" + head.WriteCard + "~" + head.Field4 + "~" + head.CardData;
  if (head.Rest != kNoReplyRest) *text += "~" + head.Rest;
  return nullptr;
}

int ApplyFail(Exit exit, const std::string& detail, std::string* reply) {
  Kvo_MakeErrorReply(std::string(kApplyTag) + exit, detail, reply);
  return -1;
}

// Without a session and without a frame.
int SettingsDialog(std::string* reply) {
  if (Kvo_ShowSettingsDialog() != 0) return ApplyFail(":018", "", reply);
  *reply = "0~~~~";
  return 0;
}

}  // namespace

int f_UCApply(int32_t trade_no, const std::string& request, double serial,
              const std::string& extra, std::string* reply) {
  if (trade_no == kSettingsDialogTrade) return SettingsDialog(reply);
  Transaction t(trade_no, serial);
  std::string text;
  Exit exit = PreChecks(t, request, extra);
  if (!exit) exit = ReportLeftover(t);
  if (!exit) exit = CardIn(t);
  if (!exit) t.content += "~" + extra;
  if (!exit) exit = RemoteCall(t);
  if (!exit) exit = ReplyHead(t);
  if (!exit) exit = CardOut(t);
  if (!exit) exit = ReplyText(t, &text);
  if (exit) return ApplyFail(exit, t.detail, reply);
  Kvo_SaveTradeEntry(trade_no, t.content, text, serial, kTradeLogFile, "");
  return Kvo_MergeExportPara(text, kFrame, kFrame, reply) == 0 ? 0 : -1;
}

}  // namespace corvane
