#include "trade/session_init.h"

#include <exception>
#include <vector>

#include "common/diagnostics.h"
#include "common/error_codes.h"
#include "common/error_reply.h"
#include "common/fields.h"
#include "common/frame.h"
#include "common/last_error.h"
#include "common/modes.h"
#include "common/session_flag.h"
#include "common/trade_numbers.h"
#include "config/comma_text.h"
#include "config/ini_file.h"
#include "config/trade_cfg.h"
#include "link/remote_trade.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "trade/entry.h"

namespace corvane {

namespace {

const char kInitTag[] = "交易初始化实现函数(f_UCInit)";

int InitFail(const char* exit, std::string* reply) {
  Kvo_MakeErrorReply(std::string(kInitTag) + exit, "", reply);
  return -1;
}

}  // namespace

std::string VersionList(const std::string& area_id) {
  return std::string(kComponentCode) + ",02.21." + area_id + ".04." + kComponentCode +
         "%%1060,1.1.0.01.1";
}

std::string FirstCommaItem(const std::string& line) {
  const std::vector<std::string> items = SplitCommaText(line, 1);
  return items.empty() ? std::string() : items.front();
}

int TradeFunKeys(const std::string& entry, std::vector<IniEntry>* keys) {
  std::vector<std::string> items;
  if (Kvo_SplitStr(entry, '~', &items) <= 0) return 0;
  int added = 0;
  for (const std::string& item : items) {
    const std::string key = FirstCommaItem(item);
    if (platform::TrimText(key).empty()) continue;
    keys->push_back(IniEntry{kSectionUserTrade, key, item});
    ++added;
  }
  return added;
}

int Kvo_SaveTradeFunList(const std::string& file, const std::string& entry,
                         const std::string& dir) {
  std::vector<IniEntry> keys;
  if (TradeFunKeys(entry, &keys) == 0) return 0;
  Kvo_WriteIniFValues(file, keys, dir);
  return 1;
}

int Kvo_BusinessInit() {
  const std::string content = "~~~~~" + VersionList(SystemCfg().AREAID);
  std::string reply;
  if (Kvo_RemoteTrade(kBusinessInitTrade, content, &reply, 0) < 0) {
    if (!reply.empty()) Kvo_NoteCause("reply: " + ReplyHeadText(reply));
    return Kvo_SetLastError(kErrBusinessInit);
  }
  std::string fun_list, versions;
  if (get_field(reply, 8, &fun_list) != 0)
    return Kvo_SetLastError(kErrTradeFunList);
  if (get_field(reply, 9, &versions) != 0)
    return Kvo_SetLastError(kErrVersionCheck);
  // The definitions go in one replace: a refused key leaves the old set.
  std::vector<IniEntry> keys;
  const int entries = Kvo_CountFields(fun_list, kSubFieldSep);
  for (int i = 1; i <= entries; ++i) {
    std::string entry;
    if (get_sub_field(fun_list, i, &entry) != 0) return -1;
    TradeFunKeys(entry, &keys);
  }
  if (!keys.empty()) Kvo_WriteIniFValues(kTradeCfgFile, keys, "");
  if (Kvo_WriteIniFSection(kTradeCfgFile, kSectionSystem, "SysHaveInit",
                           platform::ShortDateText(platform::Now()), "") != 0)
    return -1;
  return 0;
}

int f_UCInit(const std::string&, std::string* reply) {
  if (InitCorvane(kSessionLevel, kSessionMode) != 0) return InitFail(".001", reply);
  if (Kvo_InitializeIniF() != 0) return InitFail(".002", reply);
  std::string no_key;
  if (Kvo_ReadTradeCfg(&no_key) != 0) return InitFail(".003", reply);
  if (Kvo_CheckPackFields(21, 0, 0, SystemCfg().LocalIP) != 0) return InitFail(".003", reply);
  int init;
  try {
    init = Kvo_BusinessInit();
  } catch (const std::exception& e) {
    // A refused ini write has recorded -7034 before raising; its file and
    // the system's words go to the diagnostics log.
    if (auto* ini = dynamic_cast<const IniFileError*>(&e)) Kvo_NoteCause(ini->WithCause());
    if (LastErrorCode() != kErrWriteIniFSection)
      Kvo_SetLastError(kErrUnexpected, UnexpectedFaultMessage(e.what()));
    init = -1;
  }
  if (init != 0) return InitFail(":004", reply);
  std::string framed;
  if (Kvo_MergeExportPara("0~~~~", kFrame, kFrame, &framed) != 0) return InitFail(":005", reply);
  *reply = framed;
  SetSessionInitialised(1);
  return 0;
}

}  // namespace corvane
