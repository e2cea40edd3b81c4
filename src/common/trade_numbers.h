// The transaction numbers that the library itself knows by name.
#pragma once

#include <cstdint>

namespace corvane {

constexpr int32_t kBusinessInitTrade = 21;     // session initialisation with the front end
constexpr int32_t kCardJournalTrade = 22;      // its reply may switch the journal on
constexpr int32_t kSerialNumberTrade = 23;     // hands out the serial of a later transaction
constexpr int32_t kLeftoverReportTrade = 49;   // reports an unfinished transaction
constexpr int32_t kSettingsDialogTrade = 52;   // the settings dialog, without a session
constexpr int32_t kFirstDownloadTrade = 200;   // 200 and above: no card, no reply head

// Transactions whose reply rest is cut before the card data that was sent.
constexpr int32_t kReplyRestCutTrades[] = {27, 29, 34};

// Below 200: the request and the reply carry the card head fields.
constexpr bool IsCardTrade(int32_t trade_no) { return trade_no < kFirstDownloadTrade; }

constexpr bool CutsReplyRest(int32_t trade_no) {
  for (int32_t cut : kReplyRestCutTrades) {
    if (cut == trade_no) return true;
  }
  return false;
}

}  // namespace corvane
