#include "link/reply_check.h"

#include "common/fields.h"
#include "link/reply_download.h"
#include "link/trade_log.h"

namespace corvane {

std::vector<int32_t> ReplyDownloadFields(int32_t trade_no) {
  switch (trade_no) {
    case 201:
    case 213:
    case 214:
    case 222:
    case 223:
    case 224:
    case 226:
    case 228:
      return {4};
    case 215:
      return {4, 5};
    case 221:
      return {5, 7, 8, 9};
    case 225:
      return {5, 8, 9};
    default:
      return {};
  }
}

int Kvo_CheckTradeReply(int32_t trade_no, const std::string& reply) {
  if (Kvo_WriteTradeLog(kLogReplyReceived, reply) != 0) return -1;
  std::string status;
  if (get_field(reply, 1, &status) != 0) return -1;
  // Byte order, unsigned: "1" and "00" sort after "0"; "", "-1" and " 0"
  // before it.
  int order = status.compare("0");
  if (order > 0) return 1;
  if (order < 0) return -1;
  const std::vector<int32_t> fields = ReplyDownloadFields(trade_no);
  if (fields.empty()) return 0;
  std::string working = reply;
  for (int32_t n : fields) {
    std::string reduced;
    if (Kvo_DownReplyFile(working, n, &reduced) != 0) return -1;
    working.swap(reduced);
  }
  return 0;
}

}  // namespace corvane
