// TradeLog.ini, the transaction journal beside the host program.
//
//   [000]        the transaction under way: TradeTypeID, TradeId, TradeTime,
//                Ybzt (remote call), Iczt (card write-back), Hiszt, TAC
//   [<number>]   the last completed exchange of that transaction number:
//                TradeId, TradeTime, UseTime, InMsg, OutMsg
//
// Every routine takes an optional directory; empty means the host
// program's directory.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "config/trade_cfg.h"  // kTradeLogFile

namespace corvane {

// The remote transaction call, handed in by the transaction engine:
// -1 failed, 0 accepted, 1 refused; *reply set whenever a reply arrived.
using RemoteTradeFn = std::function<int(int32_t trade_no, const std::string& request,
                                        std::string* reply, double serial)>;

// The serial as the journal writes it: shortest decimal text with up to 15
// significant digits ("12345", "12.5").
std::string JournalSerialText(double serial);

// Records one stage of the transaction under way in section "000" (nothing
// when flag 7 of the current transaction flags is "0"):
//   mode 1: TradeTypeID, TradeId, TradeTime;  mode 2: Ybzt;
//   mode 3: Iczt, TAC;  mode 4: Hiszt;  other modes: nothing.
// For transaction "49" every key of the section is emptied instead.
// A write that the system refuses raises IniWriteError; the last error is
// not changed.
void Kvo_WriteTradeJournal(int mode, const std::string& trade_no, const std::string& serial,
                           const std::string& tac, const std::string& host_state,
                           const std::string& card_state, const std::string& remote_state,
                           const std::string& start_time, const std::string& dir = "");

// The stages of the transaction under way, written through
// Kvo_WriteTradeJournal with the number in decimal and the serial in its
// journal form: started (now as start time), remote call done, card
// write-back done with its TAC.
void JournalStarted(int32_t trade_no, double serial);
void JournalRemoteDone(int32_t trade_no, double serial, bool succeeded);
void JournalCardDone(int32_t trade_no, double serial, const std::string& tac, bool succeeded);

// Stores a completed exchange in the section of its number.  0; -1 on any
// fault, without a last error.
int Kvo_SaveTradeEntry(int32_t trade_no, const std::string& request, const std::string& reply,
                       double serial, const std::string& file, const std::string& dir = "");

// Reports the transaction left in section "000" (always, for a requested
// transaction 49) to the front end as transaction 49 through remote, and
// empties the section unless that call failed.  Returns the call's result,
// or 0 when nothing was pending.  The last error is -7107 in advance.
int Kvo_ReportLeftoverTrade(int32_t trade_no, const std::string& request, std::string* reply,
                            const RemoteTradeFn& remote, const std::string& dir = "");

// Checks a serial (14 digits) against the journalled transaction 23: field
// 5 of its request is trade_no, field 6 of its reply is the serial and its
// UseTime is empty.  0 valid; -1 otherwise, also on any fault (-7005 in
// advance).
int Kvo_CheckTradeSerial(const std::string& trade_no, const std::string& serial14,
                         const std::string& dir = "");

// Card data to write back from the last journalled exchange of trade_no:
// the entry's TradeId must equal the comparison value (the serial of the
// transaction under way) and field 5 of its reply must hold
// "<old card data>%%<new card data>[%%<code>]" with the old data equal to
// card_data.  0 with *new_card_data = everything after the first "%%";
// -1 when anything does not match, when anything is blank and on any fault.
int Kvo_FindCardRewrite(int32_t trade_no, const std::string& item7, const std::string& card_data,
                        double compare, std::string* new_card_data, const std::string& dir = "");

}  // namespace corvane
