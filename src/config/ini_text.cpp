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
  // A UTF-8 byte-order mark before the first line is not part of it.
  explicit LineScanner(std::string_view text)
      : text_(text), pos_(IniHasByteOrderMark(text) ? kUtf8Bom.size() : 0) {}
  // with_keys false: key lines are not taken apart (they come back as
  // kOther), which is all a scan outside the wanted section needs.
  bool Next(Line* line, bool with_keys = true) {
    if (pos_ >= text_.size()) return false;
    size_t nl = text_.find('\n', pos_);
    line->begin = pos_;
    line->next = nl == std::string_view::npos ? text_.size() : nl + 1;
    size_t end = nl == std::string_view::npos ? text_.size() : nl;
    if (end > pos_ && text_[end - 1] == '\r') --end;
    line->end = end;
    pos_ = line->next;
    Classify(line, with_keys);
    return true;
  }

 private:
  void Classify(Line* line, bool with_keys) {
    line->name = {};
    line->value = {};
    size_t first = line->begin;
    while (first < line->end && IsBlankOrControl(static_cast<unsigned char>(text_[first]))) ++first;
    if (!with_keys && (first == line->end || text_[first] != '[')) {
      line->kind = LineKind::kOther;
      return;
    }
    std::string_view s = TrimView(text_.substr(first, line->end - first));
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

KeyPlace Locate(std::string_view text, std::string_view section, std::string_view key) {
  KeyPlace place;
  LineScanner scanner(text);
  Line line;
  bool in_first = false;
  while (scanner.Next(&line, in_first)) {
    if (line.kind == LineKind::kSection) {
      if (place.section_found) break;  // only the first section of the name counts
      in_first = IniNamesEqual(line.name, section);
      if (in_first) {
        place.section_found = true;
        place.insert_at = line.next;
        place.insert_needs_break = EndsWithoutLineFeed(text, line.next);
      }
    } else if (line.kind == LineKind::kKey && in_first) {
      if (IniNamesEqual(line.name, key)) {
        place.key_found = true;
        place.key_line = line;
        return place;
      }
      place.insert_at = line.next;
      place.insert_needs_break = EndsWithoutLineFeed(text, line.next);
    }
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

// Applies one write to text (the whole file, or one section's lines from
// its header on).
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
  } else {
    std::string add;
    if (!text->empty()) {
      if (text->back() != '\n') add += eol;
      add += eol;
    }
    add += "[" + c.section + "]" + eol + c.key + "=" + c.value + eol;
    *text += add;
  }
}

// The lines of the first section of that name: from its header to the
// next header or the end.  False when there is none.
bool SectionSpan(std::string_view text, std::string_view section, size_t* begin, size_t* end) {
  LineScanner scanner(text);
  Line line;
  bool found = false;
  while (scanner.Next(&line, false)) {
    if (line.kind != LineKind::kSection) continue;
    if (found) {
      *end = line.begin;
      return true;
    }
    if (IniNamesEqual(line.name, section)) {
      found = true;
      *begin = line.begin;
    }
  }
  *end = text.size();
  return found;
}

// Applies writes [first, last) of one section: within that section's lines
// alone, so that the rest of the file is copied once, not once per write.
std::string ApplySection(std::string_view text, const std::vector<CheckedEntry>& entries,
                         size_t first, size_t last, const std::string& eol) {
  size_t begin = 0, end = 0;
  if (!SectionSpan(text, entries[first].section, &begin, &end)) {
    std::string out(text);
    ApplyOne(&out, entries[first], eol);  // appends the section
    return first + 1 == last ? out : ApplySection(out, entries, first + 1, last, eol);
  }
  std::string lines(text.substr(begin, end - begin));
  for (size_t i = first; i < last; ++i) ApplyOne(&lines, entries[i], eol);
  std::string out;
  out.reserve(text.size() - (end - begin) + lines.size());
  out.append(text.substr(0, begin));
  out += lines;
  out.append(text.substr(end));
  return out;
}

}  // namespace

bool IniApplyWrites(std::string_view text, const std::vector<IniEntry>& entries,
                    std::string* out) {
  std::vector<CheckedEntry> checked;
  checked.reserve(entries.size());
  for (const IniEntry& e : entries) {
    CheckedEntry c;
    if (!IniSectionNameStorable(e.section, &c.section) || !IniKeyNameStorable(e.key, &c.key)) {
      return false;
    }
    c.value = IniOneLineValue(e.value);
    checked.push_back(std::move(c));
  }
  const std::string eol = LineEnd(text);
  std::string result = checked.empty() ? std::string(text) : std::string();
  std::string_view current = text;
  // Consecutive writes to one section are applied together.
  for (size_t i = 0; i < checked.size();) {
    size_t j = i + 1;
    while (j < checked.size() && IniNamesEqual(checked[j].section, checked[i].section)) ++j;
    result = ApplySection(current, checked, i, j, eol);
    current = result;
    i = j;
  }
  *out = std::move(result);
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
