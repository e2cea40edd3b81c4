#include "common/error_codes.h"

#include "common/gbk_bytes.h"

namespace corvane {
namespace {

struct ErrorEntry {
  int32_t code;
  const char* message;
};

const ErrorEntry kTable[] = {
    {kErrEntryPara, "入口参数不符合条件(头：$$尾：$$),请联系his系统开发人员！"},
    {kErrBuildPacket, "组建内部数据交易包发生错误,请检查交易类型和交易号是否合法！"},
    {kErrNotInitialised, "调用交易前未做初始化，请先调用f_UserCorvaneInit函数！"},
    {kErrReadTradeCfg, "读取配置文件tradecfg.ini发生错误，请仔细检查配置文件里的数字型参数！"},
    {kErrTradeSerial, "传入的交易流水号无效，请检查交易流水号是否正确！"},
    {kErrLocalIpTooLong, "配置文件tradecfg.ini中的LocalIP超过15个字符，请检查本机IP地址设置！"},
    {kErrBusy, "动态库正在执行另一个调用，不能在调用过程中再次调用，请等待当前调用结束后再试！"},
    {kErrInitializeIniF, "执行Kvo_InitializeIniF函数发生错误，请联系开发人员！"},
    {kErrMergeExportPara, "执行Kvo_MergeExportPara函数发生错误，请联系开发人员！"},
    {kErrGetUserTradeParam, "执行Kvo_GetUserTradeParam函数发生错误，请联系开发人员！"},
    {kErrSplitStr, "执行Kvo_SplitStr函数发生错误，请联系开发人员！"},
    {kErrWriteIniFSection, "执行Kvo_WriteIniFSection函数发生错误，请联系开发人员！"},
    {kErrOpenIC, "执行Kvo_OpenIC函数发生错误，请联系开发人员！"},
    {kErrInitCorvane, "执行InitCorvane函数发生错误，请联系开发人员！"},
    {kErrDialogNoDisplay,
     "无法打开参数配置窗口：本机没有可用的图形显示，请在工作站桌面上操作，或用corvane-host "
     "settings命令修改参数！"},
    {kErrDialogWindow, "无法打开参数配置窗口：系统拒绝创建窗口，原因见log1目录下的诊断日志，请联系开发人员！"},
    {kErrReadSettings, "未能成功读取配置文件tradecfg.ini中的参数，请联系开发人员！"},
    {kErrField5, "未能获得第5个域的数据，请检查输入参数域的个数是否大于5！"},
    {kErrFieldCount, "请检查输入数据域的个数是否符合条件！"},
    {kErrSerialCheck, "交易流水号验证不通过，请检查是否申请了交易流水号！"},
    {kErrBusinessInit, "调用业务初始化(21)远程交易返回未成功！"},
    {kErrTradeFunList, "未能从远程返回数据中取得TradeFun定义信息列表！"},
    {kErrVersionCheck, "未能从远程返回数据中取得各级软件版本验证结果！"},
    {kErrLeftoverTrade, "执行历史遗留交易返回未成功！"},
    {kErrMoreThanFourFields, "未能取得大于四个固定域的数据，请检查输入参数！"},
    {kErrFirstFourFields, "未能取得前四个固定域的数据，请检查输入参数！"},
    {kErrReadCard, "调用读卡交易未能读取IC卡的数据，请检查IC卡硬件环境配置！"},
    {kErrWriteCard, "调用写卡交易未能保存IC卡的数据，请检查IC卡硬件环境配置！"},
    {kErrRemoteTrade, "调用远程交易函数返回未成功！"},
    {kErrReplyHead, "远程交易返回信息未能取得前四个交易域！"},
    {kErrLockCard, "IC卡锁卡发生错误！"},
    {kErrUnlockCard, "IC卡解锁发生错误！"},
    {kErrICOpenSession, "调用外部函数IC_OpenSession出错,请联系开发人员！"},
    {kErrICCloseSession, "调用外部函数IC_CloseSession出错,请联系开发人员！"},
    {kErrICPINVerify, "调用外部函数IC_PINVerify出错,请联系开发人员！"},
};

}  // namespace

const char* ErrorMessage(int32_t code) {
  for (const ErrorEntry& e : kTable) {
    if (e.code == code) return e.message;
  }
  return "";
}

std::string GetFieldMessage(const std::string& text, const std::string& sep, int n) {
  return "执行get_field函数发生错误，不能从" + text + "中取出以" + sep + "为分割符的第" +
         std::to_string(n) + "个字符串，请联系开发人员！";
}

std::string RemoteCallMessage(const std::string& cause) {
  std::string quoted = GbkPrefix(cause, kMaxQuotedCauseBytes);
  if (quoted.size() < cause.size()) quoted += "...";
  return "调用远程交易发生错误，请检查前置服务器地址、服务名和网络连接！(" + quoted + ")";
}

std::string RequestTooLongMessage(size_t bytes) {
  return "交易请求数据过长(" + std::to_string(bytes) +
         "字节)，内部数据交易包最多容纳999999字节，请检查交易输入参数！";
}

std::string ReplyTooLargeMessage(size_t needed, size_t buffer, const std::string& kept_in) {
  return "返回信息长度为" + std::to_string(needed) + "字节，超过了调用方缓冲区的" +
         std::to_string(buffer) + "字节，完整返回信息已保存在" + kept_in +
         "，请联系his系统开发人员加大缓冲区！";
}

std::string TradeNotRecordedMessage(int32_t trade_no, const std::string& kept_in) {
  return "前置服务器已执行交易" + std::to_string(trade_no) +
         "并已返回，但交易结果未能记入交易日志TradeLog.ini(原因见log1目录下的诊断日志)，"
         "请勿重做该交易，请先与前置服务器核对交易结果！前置服务器的返回信息已保存在" +
         kept_in + "。";
}

std::string DialogProgramMessage(const std::string& program) {
  return "无法打开参数配置窗口：找不到配置窗口程序" + program + "，请重新安装接口程序！";
}

std::string DialogReadMessage(const std::string& path) {
  return "无法读取参数配置文件" + path + "，请检查文件的访问权限！";
}

std::string DialogSaveMessage(const std::string& path) {
  return "参数配置未能保存：无法写入文件" + path + "，请检查文件是否只读、所在目录是否可写！原文件未作改动。";
}

std::string UnexpectedFaultMessage(const std::string& cause) {
  return "动态库内部发生意外错误，请联系开发人员！(" + cause + ")";
}

}  // namespace corvane
