// Reply checks on arbitrary reply text: removing a download field, the local
// name of a remote path, and the reply's line in the daily log, which must
// stay one line whatever the reply holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/fields.h"
#include "link/reply_check.h"
#include "link/reply_download.h"
#include "link/trade_log.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  const int count = Kvo_CountFields(reply, kFieldSep);
  for (int32_t n : {1, 4, 5, 9, count, count + 1}) {
    std::string reduced;
    const int r = Kvo_RemoveField(reply, n, &reduced);
    if (n <= count && n >= 1) {
      if (r != 0 || Kvo_CountFields(reduced, kFieldSep) != (count > 1 ? count - 1 : 1)) std::abort();
    }
  }
  for (int32_t trade_no : {201, 215, 221, 225}) {
    for (int32_t n : ReplyDownloadFields(trade_no)) {
      std::string field, path;
      if (get_field(reply, n, &field) == 0 && get_sub_field(field, 4, &path) == 0) {
        const std::string name = DownloadFileName(path);
        if (name.find_first_of("/:") != std::string::npos) std::abort();
      }
    }
  }
  const std::string line = TradeLogLine(2, reply, platform::LocalTime{2026, 12, 8, 9, 5, 7, 0});
  for (char c : line) {
    if (c == '\r' || c == '\n' || c == '\0') std::abort();
  }
  return 0;
}
