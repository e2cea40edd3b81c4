#include "common/diagnostics.h"

#include "common/gbk_bytes.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace corvane {
namespace {

std::string& DirectoryOverride() {
  static std::string dir;
  return dir;
}

std::string Stamp(const platform::LocalTime& now) {
  return platform::DateTimeText(now) + '.' + platform::MillisecondDigits(now);
}

void AppendEscapedByte(unsigned char c, std::string* out) {
  static const char kHex[] = "0123456789ABCDEF";
  switch (c) {
    case '\\': *out += "\\\\"; return;
    case '\r': *out += "\\r"; return;
    case '\n': *out += "\\n"; return;
    case '\t': *out += "\\t"; return;
    case 0: *out += "\\0"; return;
    default: break;
  }
  if (platform::IsControlCharacter(c)) {
    *out += "\\x";
    *out += kHex[c >> 4];
    *out += kHex[c & 15];
  } else {
    *out += static_cast<char>(c);
  }
}

// log1 under the base directory, created when missing; "" when there is no
// base directory.
std::string LogDirectory() {
  const std::string base =
      DirectoryOverride().empty() ? platform::HostDirectory() : DirectoryOverride();
  if (base.empty()) return std::string();
  const std::string dir = platform::JoinPath(base, "log1");
  if (!platform::DirectoryExists(dir)) platform::MakeDirectory(dir);
  return dir;
}

}  // namespace

namespace {

std::string& NotedCauses() {
  static std::string causes;
  return causes;
}

// A cause too long for the line: its beginning, and the file under log1/
// that keeps it whole.
std::string CauseKeptAside(const std::string& cause, size_t room) {
  const std::string kept = Kvo_KeepWholeText("CorvaneCause", cause);
  return GbkPrefix(cause, room) + "... (" + std::to_string(cause.size()) + " bytes, " +
         (kept.empty() ? std::string("could not be kept whole") : "kept whole in " + kept) + ")";
}

}  // namespace

void Kvo_NoteCause(const std::string& cause) {
  try {
    std::string& causes = NotedCauses();
    if (cause.empty()) return;
    if (!causes.empty()) causes += "; ";
    const size_t room = causes.size() < kMaxNotedCauseBytes ? kMaxNotedCauseBytes - causes.size() : 0;
    if (cause.size() <= kMaxCauseInLineBytes && cause.size() <= room) {
      causes += cause;
    } else {
      causes += CauseKeptAside(cause, room < kMaxCauseInLineBytes ? room : kMaxCauseInLineBytes);
    }
  } catch (...) {
    // Noting a cause never fails the caller.
  }
}

std::string TakeNotedCauses() {
  std::string causes;
  causes.swap(NotedCauses());
  return causes;
}

void SetDiagnosticsDirectory(const std::string& dir) { DirectoryOverride() = dir; }

std::string DiagnosticsFileName(int year, int month, int day) {
  return "CorvaneDiag" + platform::DateDigits(platform::LocalTime{year, month, day, 0, 0, 0, 0}) +
         ".log";
}

void AppendEscapedLogText(const std::string& text, std::string* out) {
  out->reserve(out->size() + text.size());
  size_t i = 0;
  while (i < text.size()) {
    // A run of printable ASCII other than the backslash goes as it is.
    size_t run = i;
    while (run < text.size() && text[run] >= 0x20 && text[run] < 0x7F && text[run] != '\\') ++run;
    out->append(text, i, run - i);
    i = run;
    if (i == text.size()) break;
    const unsigned char c = static_cast<unsigned char>(text[i]);
    // A character's trail byte is never a control character; an invalid
    // pair is taken apart so that its second byte is escaped too.
    if (IsGbkPairAt(text, i)) {
      out->append(text, i, 2);
      i += 2;
    } else {
      AppendEscapedByte(c, out);
      ++i;
    }
  }
}

std::string EscapeLogText(const std::string& text) {
  std::string out;
  AppendEscapedLogText(text, &out);
  return out;
}

std::string MaskSecret(const std::string& secret) { return secret.empty() ? "" : "***"; }

std::string ReplyHeadText(const std::string& reply) {
  const size_t first = reply.find('~');
  return reply.substr(0, first == std::string::npos ? first : reply.find('~', first + 1));
}

void Kvo_WriteDiagnostic(const std::string& step, int32_t code, const std::string& cause) {
  try {
    const platform::LocalTime now = platform::Now();
    const std::string dir = LogDirectory();
    if (dir.empty()) return;
    const std::string line = Stamp(now) + " [" + EscapeLogText(step) + "] " +
                             std::to_string(code) + ' ' + EscapeLogText(cause) + "\r\n";
    platform::AppendToFile(
        platform::JoinPath(dir, DiagnosticsFileName(now.year, now.month, now.day)), line);
  } catch (...) {
    // The diagnostics log never fails the call it describes.
  }
}

std::string Kvo_KeepWholeText(const std::string& prefix, const std::string& text) {
  try {
    const std::string dir = LogDirectory();
    if (dir.empty()) return std::string();
    const platform::LocalTime t = platform::Now();
    const std::string stamp = platform::DateDigits(t) + '-' + platform::TimeDigits(t) + '-' +
                              platform::MillisecondDigits(t);
    std::string name = prefix + stamp + ".txt";
    for (int n = 2; platform::FileExists(platform::JoinPath(dir, name)) && n < 1000; ++n)
      name = prefix + stamp + "-" + std::to_string(n) + ".txt";
    if (!platform::ReplaceFileDurably(platform::JoinPath(dir, name), text)) return std::string();
    return "log1/" + name;
  } catch (...) {
    return std::string();
  }
}

}  // namespace corvane
