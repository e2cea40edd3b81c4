// Field routines and the "$$" frame on arbitrary text: every field that the
// count promises can be taken, the fields joined again give the text (also
// when it ends in part of a separator, "a%" at "%%"), and a framed request
// loses exactly its frame and gets it back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/fields.h"
#include "common/frame.h"

using namespace corvane;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void FieldsOf(const std::string& text, const std::string& sep) {
  const int count = Kvo_CountFields(text, sep);
  Check(count >= 1);
  std::string joined, field;
  for (int n = 1; n <= count; ++n) {
    Check(get_field(text, sep, n, &field) == 0);
    joined += (n > 1 ? sep : "") + field;
  }
  Check(joined == text);
  Check(get_field(text, sep, count + 1, &field) == -1);
  std::string rest;
  Check(Kvo_GetTailFields(text, sep, 1, &rest) == 0 && rest == text);
  Check(Kvo_GetTailFields(text, sep, count + 1, &rest) == -1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  FieldsOf(text, kFieldSep);
  FieldsOf(text, kSubFieldSep);
  FieldsOf(text, ",");
  std::vector<std::string> list;
  Kvo_SplitStr(text, '~', &list);
  std::string out;
  Kvo_GetWideFields(text, kFieldSep, 1, &out, -1);
  Kvo_GetWideFields(text, kSubFieldSep, 2, &out, 3);
  std::string content;
  if (Kvo_CheckEntryPara(text, &content) == 0) {
    std::string framed;
    Check(Kvo_MergeExportPara(content, kFrame, kFrame, &framed) == 0 && framed == text);
  }
  return 0;
}
