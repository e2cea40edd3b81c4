#include "config/trade_journal.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <utility>
#include <vector>

#include "common/diagnostics.h"
#include "common/error_codes.h"
#include "common/fields.h"
#include "common/last_error.h"
#include "common/modes.h"
#include "common/trade_numbers.h"
#include "config/ini_file.h"
#include "config/trade_cfg.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace corvane {

namespace {

const std::string kSerialSection = std::to_string(kSerialNumberTrade);

// Writes the entries of one file in one durable replace: all or none.  A
// refused write raises IniWriteError.  The last error is left alone: the
// error that earlier steps recorded in advance (-7107 of the leftover
// report, -7005, -7032) is the one a later failure without its own code
// shows.
void WriteTogether(const std::string& file, const std::string& dir,
                   const std::vector<IniEntry>& entries) {
  IniWriteValues(IniPath(file, dir), entries);
}

void WritePending(const std::vector<std::pair<const char*, std::string>>& values,
                  const std::string& dir) {
  std::vector<IniEntry> entries;
  for (const auto& v : values) entries.push_back(IniEntry{kPendingSection, v.first, v.second});
  WriteTogether(kTradeLogFile, dir, entries);
}

void EmptyPendingSection(const std::string& dir) {
  std::vector<std::pair<const char*, std::string>> values;
  for (const char* key : kPendingKeys) values.emplace_back(key, "");
  WritePending(values, dir);
}

// Reads one key; false when the read failed.
bool ReadKey(const std::string& section, const std::string& key, std::string* value,
             const std::string& dir, const std::string& file = kTradeLogFile) {
  value->clear();
  return Kvo_ReadIniFSection(file, section, key, value, dir) == 0;
}

bool IsBlank(const std::string& text) { return platform::TrimText(text).empty(); }

}  // namespace

std::string JournalSerialText(double serial) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", serial);
  return buf;
}

void Kvo_WriteTradeJournal(int mode, const std::string& trade_no, const std::string& serial,
                           const std::string& tac, const std::string& host_state,
                           const std::string& card_state, const std::string& remote_state,
                           const std::string& start_time, const std::string& dir) {
  if (UserTradeParam().JournalOff()) return;
  const std::string path = IniPath(kTradeLogFile, dir);
  if (!platform::FileExists(path)) platform::AppendToFile(path, "");
  if (trade_no == std::to_string(kLeftoverReportTrade)) {
    EmptyPendingSection(dir);
    return;
  }
  switch (mode) {
    case kJournalStarted:
      WritePending({{"TradeTypeID", trade_no}, {"TradeId", serial}, {"TradeTime", start_time}},
                   dir);
      break;
    case kJournalRemoteDone:
      WritePending({{"Ybzt", remote_state}}, dir);
      break;
    case kJournalCardDone:
      WritePending({{"Iczt", card_state}, {"TAC", tac}}, dir);
      break;
    case kJournalHostDone:
      WritePending({{"Hiszt", host_state}}, dir);
      break;
    default:
      break;
  }
}

void JournalStarted(int32_t trade_no, double serial) {
  Kvo_WriteTradeJournal(kJournalStarted, std::to_string(trade_no), JournalSerialText(serial), "",
                        "", "", "", platform::DateTimeText(platform::Now()));
}

void JournalRemoteDone(int32_t trade_no, double serial, bool succeeded) {
  Kvo_WriteTradeJournal(kJournalRemoteDone, std::to_string(trade_no), JournalSerialText(serial),
                        "", "", "", succeeded ? kStageSucceeded : kStageFailed, "");
}

void JournalCardDone(int32_t trade_no, double serial, const std::string& tac, bool succeeded) {
  Kvo_WriteTradeJournal(kJournalCardDone, std::to_string(trade_no), JournalSerialText(serial),
                        tac, "", succeeded ? kStageSucceeded : kStageFailed, "", "");
}

int Kvo_SaveTradeEntry(int32_t trade_no, const std::string& request, const std::string& reply,
                       double serial, const std::string& file, const std::string& dir) {
  try {
    const std::string section = std::to_string(trade_no);
    const std::string now = platform::DateTimeText(platform::Now());
    std::vector<IniEntry> entries{{section, "TradeId", JournalSerialText(serial)},
                                  {section, "TradeTime", now}};
    if (section == kSerialSection) {
      entries.push_back({section, "UseTime", ""});
    } else if (UserTradeParam().StampsUseTime()) {
      entries.push_back({section, "UseTime", now});
    }
    entries.push_back({section, "InMsg", request});
    entries.push_back({section, "OutMsg", reply});
    // One durable replace: an entry is stored whole or not at all.
    IniWriteValues(IniPath(file, dir), entries);
    return 0;
  } catch (const IniWriteError& e) {
    Kvo_NoteCause("completed exchange not stored: " + e.WithCause());
    return -1;
  } catch (...) {
    return -1;
  }
}

int Kvo_ReportLeftoverTrade(int32_t trade_no, const std::string& request, std::string* reply,
                            const RemoteTradeFn& remote, const std::string& dir) {
  std::string pending_no;
  ReadKey(kPendingSection, "TradeTypeID", &pending_no, dir);
  if (trade_no != kLeftoverReportTrade && IsBlank(pending_no)) return 0;

  Kvo_SetLastError(kErrLeftoverTrade);
  std::string trade_id, trade_time, ybzt, iczt, tac;
  ReadKey(kPendingSection, "TradeTypeID", &pending_no, dir);
  ReadKey(kPendingSection, "TradeId", &trade_id, dir);
  ReadKey(kPendingSection, "TradeTime", &trade_time, dir);
  ReadKey(kPendingSection, "Ybzt", &ybzt, dir);
  ReadKey(kPendingSection, "Iczt", &iczt, dir);
  ReadKey(kPendingSection, "TAC", &tac, dir);

  std::string packet;
  if (trade_no == kLeftoverReportTrade) {
    packet = request + "~" + ybzt + "~" + iczt + "~" + tac + "~";
  } else {
    packet = "~~~~" + pending_no + "~" + trade_id + "~~~" + ybzt + "~" + iczt + "~" + tac + "~";
  }
  const int result = remote(kLeftoverReportTrade, packet, reply, 0);
  if (result != -1) EmptyPendingSection(dir);
  return result;
}

int Kvo_CheckTradeSerial(const std::string& trade_no, const std::string& serial14,
                         const std::string& dir) {
  Kvo_SetLastError(kErrTradeSerial);
  try {
    std::string in_msg, out_msg, use_time;
    if (!ReadKey(kSerialSection, "InMsg", &in_msg, dir)) return -1;
    if (!ReadKey(kSerialSection, "OutMsg", &out_msg, dir)) return -1;
    if (!ReadKey(kSerialSection, "UseTime", &use_time, dir)) return -1;
    std::string asked_for, serial;
    if (get_field(in_msg, 5, &asked_for) != 0) return -1;
    if (get_field(out_msg, 6, &serial) != 0) return -1;
    return (asked_for == trade_no && serial == serial14 && use_time.empty()) ? 0 : -1;
  } catch (...) {
    // A serial that could not be checked is not a valid serial.
    return -1;
  }
}

int Kvo_FindCardRewrite(int32_t trade_no, const std::string& item7, const std::string& card_data,
                        double compare, std::string* new_card_data, const std::string& dir) {
  try {
    if (IsBlank(item7) || IsBlank(card_data)) return -1;
    const std::string section = std::to_string(trade_no);
    std::string trade_id, out_msg;
    if (!ReadKey(section, "TradeId", &trade_id, dir)) return -1;
    if (!ReadKey(section, "OutMsg", &out_msg, dir)) return -1;
    if (IsBlank(trade_id) || IsBlank(out_msg)) return -1;
    if (JournalSerialText(compare) != platform::TrimText(trade_id)) return -1;
    // Field 5 of a journalled reply is the front end's card data field.
    std::string pair;
    if (Kvo_GetTailFields(out_msg, kFieldSep, 5, &pair) != 0) return -1;
    pair = pair.substr(0, pair.find(kFieldSep));
    const size_t sep = pair.find(kSubFieldSep);
    if (sep == std::string::npos) return -1;
    const std::string old_data = pair.substr(0, sep);
    const std::string new_data = pair.substr(sep + 2);
    if (IsBlank(new_data)) return -1;
    if (platform::TrimText(old_data) != card_data) return -1;
    *new_card_data = new_data;
    return 0;
  } catch (...) {
    // Never report a rewrite without card data to write.
    return -1;
  }
}

}  // namespace corvane
