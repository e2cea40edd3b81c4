// Field lists: texts of fields joined by a separator ("~", "%%" or ",").
// Fields count from 1; k separators make k + 1 fields; positions count
// bytes of GBK text.
#pragma once

#include <string>
#include <vector>

namespace corvane {

extern const char kFieldSep[];     // "~"
extern const char kSubFieldSep[];  // "%%"

// Field n of text into *field.  0 on success; -1 with -7035 when field n
// does not exist (then *field holds the last field taken).  n <= 0 leaves
// *field unchanged and succeeds.
int get_field(const std::string& text, const std::string& sep, int n, std::string* field);
inline int get_field(const std::string& text, int n, std::string* field) {
  return get_field(text, kFieldSep, n, field);
}
inline int get_sub_field(const std::string& text, int n, std::string* field) {
  return get_field(text, kSubFieldSep, n, field);
}

// Fields n, n+1, ... of text (with their separators) into *rest; -1 without
// a last error when the text has fewer than n fields.
int Kvo_GetTailFields(const std::string& text, const std::string& sep, int n, std::string* rest);

// Number of fields (1 for the empty text).
int Kvo_CountFields(const std::string& text, const std::string& sep = kFieldSep);

// Splits the trimmed text at a one-character separator and appends the
// pieces to *list; returns the list's item count, 0 for a blank text (list
// untouched), -1 with -7033 on a fault.
int Kvo_SplitStr(const std::string& text, char sep, std::vector<std::string>* list);

// Splits a wide text into (*pieces)[0..highest]; returns the number stored.
int Kvo_SplitWideStr(const std::u16string& text, const std::u16string& sep,
                     std::vector<std::u16string>* pieces, int highest);

// Fields first, first+1, ... (at most count, or 100 for count -1) of text,
// split and trimmed as wide text, joined with sep, into *out.
void Kvo_GetWideFields(const std::string& text, const std::string& sep, int first,
                       std::string* out, int count);

}  // namespace corvane
