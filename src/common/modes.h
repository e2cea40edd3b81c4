// The mode numbers and mode texts handed between parts.
#pragma once

#include <cstdint>

namespace corvane {

// The daily exchange log (Kvo_WriteTradeLog).
constexpr int32_t kLogPacketSent = 1;
constexpr int32_t kLogReplyReceived = 2;

// The stages of the journal's pending section (Kvo_WriteTradeJournal).
constexpr int kJournalStarted = 1;     // TradeTypeID, TradeId, TradeTime
constexpr int kJournalRemoteDone = 2;  // Ybzt
constexpr int kJournalCardDone = 3;    // Iczt, TAC
constexpr int kJournalHostDone = 4;    // Hiszt; no caller writes it
// The state texts of Ybzt and Iczt.
constexpr char kStageSucceeded[] = "1";
constexpr char kStageFailed[] = "2";

// The mode text of every card read and write.
constexpr char kCardMode[] = "10";

// The level text and mode with which a session starts (InitCorvane).
constexpr char kSessionLevel[] = "10";
constexpr int kSessionMode = 2;

}  // namespace corvane
