#include "common/frame.h"

#include "common/error_codes.h"
#include "common/last_error.h"
#include "platform/text.h"

namespace corvane {

const char kFrame[] = "$$";

int Kvo_CheckEntryPara(const std::string& request, std::string* content) {
  const size_t n = request.size();
  if (n < 4 || request.compare(0, 2, kFrame) != 0 || request.compare(n - 2, 2, kFrame) != 0) {
    return Kvo_SetLastError(kErrEntryPara);
  }
  *content = request.substr(2, n - 4);
  return 0;
}

int Kvo_MergeExportPara(const std::string& content, const std::string& head,
                        const std::string& tail, std::string* out) {
  try {
    *out = platform::TrimText(head) + content + platform::TrimText(tail);
    return 0;
  } catch (...) {
    return Kvo_SetLastError(kErrMergeExportPara);
  }
}

}  // namespace corvane
