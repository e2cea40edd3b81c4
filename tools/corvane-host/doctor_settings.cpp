// The settings file TradeCfg.ini: present, GBK without a byte-order mark,
// every key there, integers readable, the front end's keys filled in.
#include <cstring>

#include "config/ini_file.h"
#include "config/ini_text.h"
#include "config/trade_cfg.h"
#include "config/trade_cfg_keys.h"
#include "doctor.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace corvane::host::doctor {
namespace {

const char kBom[] = "\xEF\xBB\xBF";

// Keys that must not be empty for a session to start.
bool Required(const TradeCfgKey& k) {
  return std::strcmp(k.key, "NativeAddress") == 0 || std::strcmp(k.key, "NativeServer") == 0;
}
// Keys a session uses, which deserve a warning when empty (the others are
// added, empty, by a session start and read by nobody).
bool Used(const TradeCfgKey& k) {
  return std::strcmp(k.section, "SYSTEM") == 0 &&
         (std::strcmp(k.key, "LocalIP") == 0 || std::strcmp(k.key, "AREAID") == 0);
}

std::string Name(const TradeCfgKey& k) { return std::string("[") + k.section + "] " + k.key; }

// One key of the file's content: false when a required key is missing or
// empty.
bool CheckKey(const HostText& text, const std::string& content, const TradeCfgKey& k) {
  std::string value;
  const bool exists = IniFindValue(content, k.section, k.key, &value);
  int32_t number = 0;
  if (k.integer && !IniParseInteger(value, &number)) {
    Say(text, "warn", Name(k) + (exists ? "=\"" + value + "\" is not a number" : " is missing") +
                          ": the default " + std::to_string(k.default_value) + " is used");
  } else if (!exists && (Required(k) || Used(k))) {
    Say(text, Required(k) ? "FAIL" : "warn", Name(k) + " is missing");
  } else if (value.empty() && (Required(k) || Used(k))) {
    Say(text, Required(k) ? "FAIL" : "warn", Name(k) + " is empty");
  } else {
    return true;
  }
  return !Required(k);
}

}  // namespace

bool CheckSettings(const HostText& text, const std::string& dir) {
  const std::string path = IniPath(kTradeCfgFile, dir);
  std::string content;
  const platform::ReadResult read = platform::ReadWholeFile(path, &content);
  if (read != platform::ReadResult::kOk) {
    Say(text, "FAIL", path + (read == platform::ReadResult::kMissing
                                  ? " is missing: create it with [SYSTEM] NativeAddress, "
                                    "NativeServer, LocalIP, AREAID and [HardWare] keys"
                                  : " cannot be read"));
    return false;
  }
  if (content.compare(0, 3, kBom) == 0)
    Say(text, "warn", path + " starts with a UTF-8 byte-order mark: it is skipped, but the "
                             "file must be GBK text; save it as GBK (ANSI)");
  bool ok = true;
  for (int i = 0; i < kTradeCfgKeyCount; ++i) ok = CheckKey(text, content, kTradeCfgKeys[i]) && ok;
  if (ok) Say(text, "ok  ", path + " has the keys a session needs");
  return ok;
}

bool CheckFolder(const HostText& text, const std::string& dir) {
  const std::string probe = platform::JoinPath(dir, ".corvane-doctor.tmp");
  if (!platform::AppendToFile(probe, "x")) {
    Say(text, "FAIL", dir + " is not writable: the library writes TradeCfg.ini, TradeLog.ini, "
                            "log1/ and down/ there");
    return false;
  }
  platform::RemoveFile(probe);
  Say(text, "ok  ", dir + " is writable");
  return true;
}

}  // namespace corvane::host::doctor
