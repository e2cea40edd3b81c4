// The diagnostics log: log1/CorvaneDiag<yyyymmdd>.log beside the host
// program, beside the daily exchange log but in a file of its own so that the
// exchange log keeps its format.  One line per failure or notable event:
//
//   <date> <time> [<step>] <code> <cause>
//
// The step names where it happened (an exit tag, a routine, "card library"),
// the code is the error code that the host sees (0 for a notice), and the
// cause is what the library knows: the operating system's or the peer's
// text, the file tried, the setting that fell back to its default.  Control
// characters in any part are escaped (see EscapeLogText), so a peer cannot
// forge lines.  Writing never fails the caller: a refused write is ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

void Kvo_WriteDiagnostic(const std::string& step, int32_t code, const std::string& cause);

// Keeps a text too large to hand over whole (a reply that does not fit the
// host's buffer) in a file of its own beside the diagnostics log:
// log1/<prefix><yyyymmdd-hhmmss-mmm>[-n].txt, bytes unchanged.  Returns the
// file's path relative to the base directory ("log1/..."), or "" when it
// could not be written.
std::string Kvo_KeepWholeText(const std::string& prefix, const std::string& text);

// Where diagnostics go: the base directory that holds log1.  Empty (the
// default) means the host program's directory.  For tests and tools.
void SetDiagnosticsDirectory(const std::string& dir);

// "CorvaneDiag" + yyyymmdd + ".log".
std::string DiagnosticsFileName(int year, int month, int day);

// Bytes below 0x20 and 0x7F become "\r", "\n", "\t", "\0" or "\xHH"; a
// backslash becomes "\\".  GBK trail bytes are never below 0x40, so this
// never splits a character.
std::string EscapeLogText(const std::string& text);
// The same, appended to *out (one copy of a large text).
void AppendEscapedLogText(const std::string& text, std::string* out);

// A secret for a log line: "***" when non-empty, "" when empty.
std::string MaskSecret(const std::string& secret);

// Fields 1 and 2 ("~") of a front-end reply, its status and text, for a
// log line: later fields may name FTP credentials.
std::string ReplyHeadText(const std::string& reply);

// The causes of the failure under way.  A lower part notes what it knows
// (the socket's error and the address, the card library files tried, the
// FTP server's answer) and returns its status as usual; the error reply
// that ends the call writes the noted causes in its one diagnostics line,
// under the tag and code that the host sees.  Causes noted during a call
// that then succeeds are written by the export as a line of their own.
// Notes are joined with "; ".  The line is bounded: a cause longer than
// kMaxCauseInLineBytes, or one that would take the notes of one call past
// kMaxNotedCauseBytes, is kept whole in log1/CorvaneCause<stamp>.txt and
// noted as its beginning (at most kMaxCauseInLineBytes, never splitting a
// character), "...", its size and that file's name.  Nothing is dropped.
constexpr size_t kMaxCauseInLineBytes = 4096;
constexpr size_t kMaxNotedCauseBytes = 65536;
void Kvo_NoteCause(const std::string& cause);

// The causes noted since the last take, and forgets them.
std::string TakeNotedCauses();

}  // namespace corvane
