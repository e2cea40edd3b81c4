#include "common/fields.h"
#include "link/reply_download.h"

namespace corvane {

int Kvo_RemoveField(const std::string& list, int32_t n, std::string* result) {
  if (n > Kvo_CountFields(list, kFieldSep)) return -1;
  const std::string sep = kFieldSep;
  std::string out;
  bool first = true;
  int32_t position = 1;
  size_t start = 0;
  for (;;) {
    size_t end = list.find(sep, start);
    size_t stop = end == std::string::npos ? list.size() : end;
    if (position != n) {
      // The kept fields joined by "~", also when field 1 is the one removed.
      if (!first) out += sep;
      out.append(list, start, stop - start);
      first = false;
    }
    if (end == std::string::npos) break;
    start = end + sep.size();
    ++position;
  }
  *result = out;
  return 0;
}

}  // namespace corvane
