// The daily exchange log: one line per packet or reply, appended to
// log1/CorvaneTradeLog<yyyymmdd>.log; the file is opened for the first line
// of a call and closed at the call's end (outside a call, for every line).
// The text is escaped (control characters and the backslash), so a packet
// or a reply always makes exactly one line.
#include "link/trade_log.h"

#include <exception>

#include "common/diagnostics.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace corvane {
namespace {

// The file a call keeps open, and whether a call is under way.
struct HeldLog {
  bool in_call = false;
  platform::AppendFile file;
};

HeldLog& Held() {
  static HeldLog held;
  return held;
}

// Appends a line to path: through the file the call holds (opened on its
// first line), or opened and closed for this line outside a call.  False
// with the system's words in *why when refused.
bool AppendLine(const std::string& log_dir, const std::string& path, const std::string& line,
                std::string* why) {
  HeldLog& held = Held();
  if (held.in_call && held.file.IsOpen() && held.file.Path() == path) {
    if (held.file.Append(line)) return true;
    *why = platform::LastFileErrorText();
    held.file.Close();
    return false;
  }
  bool written;
  if (!held.in_call) {
    if (!platform::DirectoryExists(log_dir)) platform::MakeDirectory(log_dir);
    written = platform::AppendToFile(path, line);
  } else {
    // In a call the folder is made only when the open finds it missing.
    written = (held.file.Open(path) || (!platform::DirectoryExists(log_dir) &&
                                        platform::MakeDirectory(log_dir) && held.file.Open(path))) &&
              held.file.Append(line);
  }
  if (!written) *why = platform::LastFileErrorText();
  return written;
}

}  // namespace

TradeLogCallScope::TradeLogCallScope() { Held().in_call = true; }

TradeLogCallScope::~TradeLogCallScope() {
  Held().file.Close();
  Held().in_call = false;
}

std::string TradeLogLine(int32_t mode, const std::string& text, const platform::LocalTime& now) {
  const char* marker = mode == kLogPacketSent ? " $$IN $$" : mode == kLogReplyReceived ? " $$OUT$$" : nullptr;
  if (!marker) return std::string();
  // Only exactly midnight (no fraction of a second either) is date-only.
  const bool midnight = now.hour == 0 && now.minute == 0 && now.second == 0 && now.millisecond == 0;
  std::string line;
  line.reserve(text.size() + 64);  // room for the escapes of a plain text and the line end
  line += midnight ? platform::ShortDateText(now) : platform::DateTimeText(now);
  line += marker;
  AppendEscapedLogText(text, &line);
  return line;
}

std::string TradeLogFileName(const platform::LocalTime& now) {
  return "CorvaneTradeLog" + platform::DateDigits(now) + ".log";
}

int Kvo_WriteTradeLog(int32_t mode, const std::string& text, const std::string& file,
                      const std::string& dir) {
  if (text.empty()) return 0;
  try {
    const platform::LocalTime now = platform::Now();
    std::string line = TradeLogLine(mode, text, now);
    if (line.empty()) return -1;
    const std::string base = dir.empty() ? platform::HostDirectory() : dir;
    if (base.empty()) return -1;
    const std::string name = file.empty() ? TradeLogFileName(now) : file;
    const std::string log_dir = platform::JoinPath(base, "log1");
    line += "\r\n";
    const std::string path = platform::JoinPath(log_dir, name);
    std::string why;
    if (AppendLine(log_dir, path, line, &why)) return 0;
    Kvo_NoteCause("daily log " + path + " cannot be written: " + why);
    return -1;
  } catch (const std::exception& e) {
    Kvo_NoteCause(std::string("daily log cannot be written: ") + e.what());
    return -1;
  }
}

}  // namespace corvane
