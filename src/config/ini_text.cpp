#include "config/ini_text.h"

#include <limits>

#include "common/gbk_bytes.h"
#include "platform/text.h"

namespace corvane {
namespace {

using platform::IsBlankOrControl;
using platform::TrimView;

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

enum class LineKind { kOther, kSection, kKey };

// One line of the text: [begin, end) without its line end, next = start of
// the following line.
struct Line {
  size_t begin = 0;
  size_t end = 0;
  size_t next = 0;
  LineKind kind = LineKind::kOther;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // raw text after '=' (keys)
};

class LineScanner {
 public:
  // From the line that starts at pos.
  LineScanner(std::string_view text, size_t pos) : text_(text), pos_(pos) {}

  // A UTF-8 byte-order mark before the first line is not part of it.
  static size_t FirstLine(std::string_view text) {
    return IniHasByteOrderMark(text) ? kUtf8Bom.size() : 0;
  }
  bool Next(Line* line) {
    if (pos_ >= text_.size()) return false;
    size_t nl = text_.find('\n', pos_);
    line->begin = pos_;
    line->next = nl == std::string_view::npos ? text_.size() : nl + 1;
    size_t end = nl == std::string_view::npos ? text_.size() : nl;
    if (end > pos_ && text_[end - 1] == '\r') --end;
    line->end = end;
    pos_ = line->next;
    Classify(line);
    return true;
  }

 private:
  void Classify(Line* line) {
    line->name = {};
    line->value = {};
    std::string_view s = TrimView(text_.substr(line->begin, line->end - line->begin));
    if (s.empty() || s[0] == ';') {
      line->kind = LineKind::kOther;
    } else if (s[0] == '[') {
      line->kind = LineKind::kSection;
      size_t close = s.find(']');
      line->name = TrimView(s.substr(1, close == std::string_view::npos ? std::string_view::npos
                                                                    : close - 1));
    } else {
      size_t eq = s.find('=');
      if (eq == std::string_view::npos) {
        line->kind = LineKind::kOther;
      } else {
        line->kind = LineKind::kKey;
        line->name = TrimView(s.substr(0, eq));
        line->value = s.substr(eq + 1);
      }
    }
  }

  std::string_view text_;
  size_t pos_;
};

// Where a key is, or where it would go.
struct KeyPlace {
  bool section_found = false;
  bool key_found = false;
  Line key_line;       // the key's line when found
  size_t insert_at = 0;  // after the last key (or header) of the first section
  bool insert_needs_break = false;  // that line has no line end
};

// True when the text before pos does not end a line: the last line of a
// file may end without a line feed, or with a lone carriage return, which
// the scanner keeps inside the line.
bool EndsWithoutLineFeed(std::string_view text, size_t pos) {
  return pos > 0 && text[pos - 1] != '\n';
}

// The first section header at or after from (a line start), classified;
// false when there is none.  Only lines holding '[' are looked at.
bool NextSection(std::string_view text, size_t from, Line* header) {
  const size_t first_line = LineScanner::FirstLine(text);
  size_t at = from < first_line ? first_line : from;
  while (at < text.size()) {
    const size_t bracket = text.find('[', at);
    if (bracket == std::string_view::npos) return false;
    size_t begin = bracket;
    while (begin > first_line && text[begin - 1] != '\n' &&
           IsBlankOrControl(static_cast<unsigned char>(text[begin - 1])))
      --begin;
    if (begin == first_line || text[begin - 1] == '\n') {
      LineScanner(text, begin).Next(header);
      return true;
    }
    at = bracket + 1;
  }
  return false;
}

// The lines of the first section of that name: from its header to the
// next header or the end.  False when there is none.
bool SectionSpan(std::string_view text, std::string_view section, size_t* begin, size_t* end) {
  Line header;
  bool found = false;
  for (size_t at = 0; NextSection(text, at, &header); at = header.next) {
    if (found) {
      *end = header.begin;
      return true;
    }
    if (IniNamesEqual(header.name, section)) {
      found = true;
      *begin = header.begin;
    }
  }
  *end = text.size();
  return found;
}

KeyPlace Locate(std::string_view text, std::string_view section, std::string_view key) {
  KeyPlace place;
  size_t begin = 0, end = 0;
  if (!SectionSpan(text, section, &begin, &end)) return place;
  LineScanner scanner(text.substr(0, end), begin);
  Line line;
  scanner.Next(&line);  // the header
  place.section_found = true;
  place.insert_at = line.next;
  place.insert_needs_break = EndsWithoutLineFeed(text, line.next);
  while (scanner.Next(&line)) {
    if (line.kind != LineKind::kKey) continue;
    if (IniNamesEqual(line.name, key)) {
      place.key_found = true;
      place.key_line = line;
      return place;
    }
    place.insert_at = line.next;
    place.insert_needs_break = EndsWithoutLineFeed(text, line.next);
  }
  return place;
}

std::string LineEnd(std::string_view text) {
  size_t nl = text.find('\n');
  if (nl != std::string_view::npos && (nl == 0 || text[nl - 1] != '\r')) return "\n";
  return "\r\n";
}

bool HasForbidden(std::string_view s) {
  for (char c : s) {
    if (c == '\r' || c == '\n' || c == '\0') return true;
  }
  return false;
}

}  // namespace

bool IniNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(a[i]);
    if (IsGbkLeadByte(c) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

bool IniFindValue(std::string_view text, std::string_view section, std::string_view key,
                  std::string* value) {
  KeyPlace place = Locate(text, TrimView(section), TrimView(key));
  if (!place.key_found) return false;
  if (value) {
    std::string_view v = TrimView(place.key_line.value);
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) {
      v = v.substr(1, v.size() - 2);
    }
    if (v.size() > kIniMaxValueBytes) {
      // Cut without leaving the first byte of a double-byte character.
      size_t cut = 0;
      while (cut < kIniMaxValueBytes) {
        size_t step = IsGbkLeadByte(static_cast<unsigned char>(v[cut])) ? 2 : 1;
        if (cut + step > kIniMaxValueBytes) break;
        cut += step;
      }
      v = v.substr(0, cut);
    }
    value->assign(v.data(), v.size());
  }
  return true;
}

bool IniSectionNameStorable(std::string_view name, std::string* stored) {
  std::string_view s = TrimView(name);
  if (s.empty() || HasForbidden(name) || s.find(']') != std::string_view::npos) return false;
  stored->assign(s.data(), s.size());
  return true;
}

bool IniKeyNameStorable(std::string_view name, std::string* stored) {
  std::string_view s = TrimView(name);
  if (s.empty() || HasForbidden(name) || s.find('=') != std::string_view::npos || s[0] == ';' ||
      s[0] == '[') {
    return false;
  }
  stored->assign(s.data(), s.size());
  return true;
}

std::string IniOneLineValue(std::string_view value) {
  size_t zero = value.find('\0');
  std::string out(value.substr(0, zero));
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

namespace {

struct CheckedEntry {
  std::string section, key, value;
};

// Applies one write to one section's lines (from its header on), or to the
// empty text when the section is new.
void ApplyOne(std::string* text, const CheckedEntry& c, const std::string& eol) {
  KeyPlace place = Locate(*text, c.section, c.key);
  if (place.key_found) {
    const Line& l = place.key_line;
    std::string line(l.name);
    line += '=';
    line += c.value;
    text->replace(l.begin, l.end - l.begin, line);
  } else if (place.section_found) {
    std::string add = place.insert_needs_break ? eol : std::string();
    add += c.key + "=" + c.value + eol;
    text->insert(place.insert_at, add);
  } else {  // a new section: SectionChange puts the blank line before it
    *text += "[" + c.section + "]" + eol + c.key + "=" + c.value + eol;
  }
}

// Writes [first, last) of one section as a change of text: that section's
// lines with the writes applied (the rest of the text stays where it is),
// or the section added at the end.
IniChange SectionChange(std::string_view text, const std::vector<CheckedEntry>& entries,
                        size_t first, size_t last, const std::string& eol) {
  IniChange change;
  std::string& lines = change.text;
  if (SectionSpan(text, entries[first].section, &change.begin, &change.end)) {
    lines.assign(text.substr(change.begin, change.end - change.begin));
  } else {
    change.begin = change.end = text.size();
    ApplyOne(&lines, entries[first++], eol);  // the new section alone
  }
  for (size_t i = first; i < last; ++i) ApplyOne(&lines, entries[i], eol);
  if (change.begin == text.size() && !text.empty()) {
    // A new section follows the text after a blank line.
    lines.insert(0, text.back() != '\n' ? eol + eol : eol);
  }
  return change;
}

std::string Changed(std::string_view text, const IniChange& change) {
  std::string out;
  out.reserve(text.size() - (change.end - change.begin) + change.text.size());
  out.append(text.substr(0, change.begin));
  out += change.text;
  out.append(text.substr(change.end));
  return out;
}

bool CheckEntries(const std::vector<IniEntry>& entries, std::vector<CheckedEntry>* checked) {
  checked->reserve(entries.size());
  for (const IniEntry& e : entries) {
    CheckedEntry c;
    if (!IniSectionNameStorable(e.section, &c.section) || !IniKeyNameStorable(e.key, &c.key)) {
      return false;
    }
    c.value = IniOneLineValue(e.value);
    checked->push_back(std::move(c));
  }
  return true;
}

}  // namespace

bool IniChangeFor(std::string_view text, const std::vector<IniEntry>& entries,
                  IniChange* change) {
  std::vector<CheckedEntry> checked;
  if (!CheckEntries(entries, &checked)) return false;
  const std::string eol = LineEnd(text);
  std::string several;  // the text so far, when the writes touch several sections
  std::string_view current = text;
  // Consecutive writes to one section are applied together.
  for (size_t i = 0, j = 0; i < checked.size(); i = j) {
    j = i + 1;
    while (j < checked.size() && IniNamesEqual(checked[j].section, checked[i].section)) ++j;
    IniChange section = SectionChange(current, checked, i, j, eol);
    if (i == 0 && j == checked.size()) {
      *change = std::move(section);
      return true;
    }
    several = Changed(current, section);
    current = several;
  }
  *change = checked.empty() ? IniChange{} : IniChange{0, text.size(), std::move(several)};
  return true;
}

bool IniApplyWrites(std::string_view text, const std::vector<IniEntry>& entries,
                    std::string* out) {
  IniChange change;
  if (!IniChangeFor(text, entries, &change)) return false;
  *out = Changed(text, change);
  return true;
}

bool IniParseInteger(std::string_view text, int32_t* out) {
  std::string_view s = text;
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  bool hex = false;
  if (!s.empty() && s[0] == '$') {
    hex = true;
    s.remove_prefix(1);
  } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    hex = true;
    s.remove_prefix(2);
  }
  if (s.empty()) return false;
  if (hex) {
    if (s.size() > 8) return false;
    uint32_t v = 0;
    for (char c : s) {
      int d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else return false;
      v = (v << 4) | static_cast<uint32_t>(d);
    }
    if (negative) v = 0u - v;
    *out = static_cast<int32_t>(v);
    return true;
  }
  int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) return false;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min()) {
    return false;
  }
  *out = static_cast<int32_t>(v);
  return true;
}

}  // namespace corvane
