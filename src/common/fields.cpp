#include "common/fields.h"

#include "common/error_codes.h"
#include "common/last_error.h"
#include "platform/text.h"

namespace corvane {

const char kFieldSep[] = "~";
const char kSubFieldSep[] = "%%";

int get_field(const std::string& text, const std::string& sep, int n, std::string* field) {
  if (n <= 0) return 0;
  if (sep.empty()) return Kvo_SetLastError(kErrGetField, GetFieldMessage(text, sep, n));
  // Separators are searched in the text itself: the last field runs to the
  // end of the text, so a text ending in part of a separator ("50%" split at
  // "%%") keeps those bytes.
  size_t pos = 0;  // start of the current field in text
  for (int i = 0; i < n; ++i) {
    if (pos > text.size()) return Kvo_SetLastError(kErrGetField, GetFieldMessage(text, sep, n));
    size_t hit = text.find(sep, pos);
    if (hit == std::string::npos) hit = text.size();
    *field = text.substr(pos, hit - pos);
    pos = hit + sep.size();
  }
  return 0;
}

int Kvo_GetTailFields(const std::string& text, const std::string& sep, int n, std::string* rest) {
  *rest = text;
  if (sep.empty()) return n <= 1 ? 0 : -1;
  size_t pos = 0;
  for (int i = 1; i < n; ++i) {
    size_t hit = text.find(sep, pos);
    if (hit == std::string::npos) {
      *rest = text.substr(pos);
      return -1;
    }
    pos = hit + sep.size();
  }
  *rest = text.substr(pos);
  return 0;
}

int Kvo_CountFields(const std::string& text, const std::string& sep) {
  if (sep.empty()) return 1;
  int count = 1;
  size_t pos = 0;
  for (;;) {
    size_t hit = text.find(sep, pos);
    if (hit == std::string::npos) return count;
    ++count;
    pos = hit + sep.size();
  }
}

int Kvo_SplitStr(const std::string& text, char sep, std::vector<std::string>* list) {
  try {
    std::string t = platform::TrimText(text);
    if (t.empty()) return 0;
    size_t pos = 0;
    for (;;) {
      size_t hit = t.find(sep, pos);
      if (hit == std::string::npos) {
        list->push_back(t.substr(pos));
        return static_cast<int>(list->size());
      }
      list->push_back(t.substr(pos, hit - pos));
      pos = hit + 1;
      if (pos >= t.size()) {
        list->push_back(std::string());
        return static_cast<int>(list->size());
      }
    }
  } catch (...) {
    return Kvo_SetLastError(kErrSplitStr);
  }
}

int Kvo_SplitWideStr(const std::u16string& text, const std::u16string& sep,
                     std::vector<std::u16string>* pieces, int highest) {
  std::u16string t = platform::TrimWide(text);
  const std::u16string s = platform::TrimWide(sep);
  if (t.empty() || s.empty()) return 0;
  int i = 0;
  for (;;) {
    size_t p = t.find(s);
    if (i > highest) return i;
    if (static_cast<size_t>(i) >= pieces->size()) pieces->resize(i + 1);
    if (p == std::u16string::npos) {
      (*pieces)[i] = t;
      return i + 1;
    }
    (*pieces)[i] = t.substr(0, p);
    ++i;
    t = platform::TrimWide(t.substr(p + s.size()));
  }
}

void Kvo_GetWideFields(const std::string& text, const std::string& sep, int first,
                       std::string* out, int count) {
  out->clear();
  try {
    if (first < 1 || (count < 1 && count != -1)) return;
    const int m = count == -1 ? 100 : count;
    std::vector<std::u16string> pieces(static_cast<size_t>(first) + m);
    const std::u16string wsep = platform::AnsiToWide(sep);
    int stored = Kvo_SplitWideStr(platform::AnsiToWide(text), wsep, &pieces, first + m - 1);
    if (stored <= 0 || stored < first) return;
    std::u16string joined;
    int last = stored < first - 1 + m ? stored : first - 1 + m;  // 1-based index of last piece
    for (int k = first; k <= last; ++k) {
      if (k > first) joined += wsep;
      joined += pieces[k - 1];
    }
    *out = platform::WideToAnsi(joined);
  } catch (...) {
    // The out text keeps whatever it holds.
  }
}

}  // namespace corvane
