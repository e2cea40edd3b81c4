#include "trade/entry.h"

#include "common/error_reply.h"
#include "common/session_flag.h"

namespace corvane {

int f_UCInit(const std::string&, std::string* reply) {
  Kvo_MakeErrorReply("初始化实现函数(f_UCInit):001", "", reply);
  return -1;
}

int f_UCApply(int32_t trade_no, const std::string&, double, const std::string&,
              std::string* reply) {
  if (trade_no == 52) {
    *reply = "0~~~~";
    return 0;
  }
  if (Kvo_CheckInit() != 0) {
    Kvo_MakeErrorReply("交易申请实现函数(f_UCApply):001", "", reply);
    return -1;
  }
  Kvo_MakeErrorReply("交易申请实现函数(f_UCApply):002", "", reply);
  return -1;
}

int f_UCClose(const std::string&, std::string* reply) {
  SetSessionInitialised(0);
  *reply = "$$0~~$$";
  return 0;
}

}  // namespace corvane
