// The ini text codec: finds values in, and applies writes to, the bytes of
// an ini file.  No I/O: callers hand in the file's content and store what
// comes back.
//
// Rules (GBK text, lines ended by CR LF or LF):
// - A line is trimmed of blanks and control characters.  An empty line is
//   blank; a line starting with ';' is a comment; a line starting with '['
//   is a section header whose name runs to the first ']' (or the line's end)
//   and is trimmed; a line holding '=' is a key, its name the trimmed text
//   before the first '=' and its value the text after it; any other line is
//   kept but means nothing.  Keys before the first section belong to no
//   section.
// - A UTF-8 byte-order mark (EF BB BF, which many editors write) at the
//   start of the text is skipped when reading and kept when writing.
// - Names match regardless of ASCII letter case; the second byte of a GBK
//   double-byte character is never case-folded.
// - Of several sections with one name only the first is used (later ones
//   are kept but never read or written); of several keys with one name in
//   it, the first.
// - A value read loses its surrounding blanks, then one pair of matching
//   single or double quotes, and is cut at 2047 bytes without splitting a
//   double-byte character.
// - A write replaces the line of the key found (keeping the key's spelling),
//   or adds "key=value" after the last key of the first section of that
//   name, or appends the section (after a blank line) at the end.  Every
//   other byte of the file stays as it was.  New lines take the file's line
//   end (LF when its first line ends with a bare LF, CR LF otherwise).
// - A value is written on one line: it ends at its first zero byte, and CR
//   and LF become blanks.  Names are trimmed; a name that could not be read
//   back as written is refused: empty, or holding CR, LF or a zero byte; a
//   section holding ']'; a key holding '=' or starting with ';' or '['.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

constexpr size_t kIniMaxValueBytes = 2047;
// Larger files are not read (a read fails, a write is refused).
constexpr size_t kIniMaxFileBytes = 64u * 1024u * 1024u;

struct IniEntry {
  std::string section;
  std::string key;
  std::string value;
};

// True when the key exists; *value then holds its value as read (see the
// rules above).  value may be null.
bool IniFindValue(std::string_view text, std::string_view section, std::string_view key,
                  std::string* value);

// A change of a text: the bytes [begin, end) give way to text.
struct IniChange {
  size_t begin = 0;
  size_t end = 0;
  std::string text;
};

// The writes, applied in order, as one change of text: the lines of the
// section written, or the section added at the end, so that the rest of a
// large file need not be copied (writes to several sections give one
// change of the whole text).  False (and *change
// untouched) when a section or key name is refused.
bool IniChangeFor(std::string_view text, const std::vector<IniEntry>& entries,
                  IniChange* change);

// Applies the writes in order to text and stores the result in *out.
// False (and *out untouched) when a section or key name is refused.
bool IniApplyWrites(std::string_view text, const std::vector<IniEntry>& entries,
                    std::string* out);

// The name as stored (trimmed), or false when it cannot be stored.
bool IniSectionNameStorable(std::string_view name, std::string* stored);
bool IniKeyNameStorable(std::string_view name, std::string* stored);
// The value as written to its line.
std::string IniOneLineValue(std::string_view value);

// Integer text: optional sign, then decimal digits, or hexadecimal digits
// after "$", "0x" or "0X" (at most 8, taken as a 32-bit pattern).  False for
// any other text, the empty text and decimal values outside 32 bits.
bool IniParseInteger(std::string_view text, int32_t* out);

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline bool IniHasByteOrderMark(std::string_view text) {
  return text.substr(0, kUtf8Bom.size()) == kUtf8Bom;
}

// Names equal regardless of ASCII case, GBK-aware.
bool IniNamesEqual(std::string_view a, std::string_view b);

}  // namespace corvane
