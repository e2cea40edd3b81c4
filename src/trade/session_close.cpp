#include "common/frame.h"
#include "common/session_flag.h"
#include "link/remote_trade.h"
#include "trade/entry.h"

namespace corvane {

int f_UCClose(const std::string&, std::string* reply) {
  ReleaseConnectionSlot();
  std::string framed;
  if (Kvo_MergeExportPara("0~~", kFrame, kFrame, &framed) != 0) return -1;
  *reply = framed;
  SetSessionInitialised(0);
  return 0;
}

}  // namespace corvane
