// InitCorvane, Kvo_InitializeIniF, Kvo_ReadTradeCfg and the two general ini
// routines.
#include <cstring>
#include <exception>
#include <set>

#include "common/diagnostics.h"
#include "common/error_codes.h"
#include "common/last_error.h"
#include "config/ini_file.h"
#include "config/trade_cfg.h"
#include "config/trade_cfg_keys.h"
#include "platform/clock.h"
#include "platform/text.h"

namespace corvane {
namespace {

// A setting that is not a number gives its default: said once per value in
// the diagnostics log, since the settings are read before every transaction.
void NoteDefaultUsed(const char* section, const char* key, const std::string& value,
                     int32_t def) {
  static std::set<std::string> said;
  const std::string line = std::string(section) + "/" + key + "=\"" + value +
                           "\" is not a number: " + std::to_string(def) + " used";
  if (!said.insert(line).second) return;
  Kvo_WriteDiagnostic(kTradeCfgFile, 0, line);
}

// "000-" + yyyymmddhhmmssmmm: where an unfinished transaction is kept.
std::string ArchiveSectionName(const platform::LocalTime& t) {
  return std::string(kPendingSection) + '-' + platform::DateDigits(t) + platform::TimeDigits(t) +
         platform::MillisecondDigits(t);
}

// The writes that empty the pending section.  An unfinished transaction
// (a transaction number in it) is first copied to an archive section in
// the same replace, and *note describes it for the diagnostics log.
std::vector<IniEntry> PendingWrites(const std::string& journal, std::string* note) {
  std::vector<IniEntry> writes;
  const std::string number = IniReadString(journal, kPendingSection, "TradeTypeID", "");
  if (!platform::TrimText(number).empty()) {
    const std::string archive = ArchiveSectionName(platform::Now());
    *note = "unfinished transaction kept in section [" + archive + "] of " + journal + ":";
    for (const char* key : kPendingKeys) {
      const std::string value = IniReadString(journal, kPendingSection, key, "");
      writes.push_back(IniEntry{archive, key, value});
      *note += std::string(" ") + key + "=" + value;
    }
  }
  for (const char* key : kPendingKeys) writes.push_back(IniEntry{kPendingSection, key, ""});
  return writes;
}

// Runs a settings routine: a failure notes its cause (for an ini file, its
// path and the system's words) and records code.
template <typename Body>
int SettingsRoutine(int32_t code, Body body) {
  try {
    return body();
  } catch (const IniFileError& e) {
    Kvo_NoteCause(e.WithCause());
  } catch (const std::exception& e) {
    Kvo_NoteCause(e.what());
  } catch (...) {
  }
  return Kvo_SetLastError(code);
}

}  // namespace

int InitCorvane(const std::string& level, int mode) {
  return SettingsRoutine(kErrInitCorvane, [&level, mode] {
    TPackEdit& pack = PackEdit();
    pack.LevelText = level;
    int32_t n = 0;
    if (IniParseInteger(level, &n)) {
      pack.Level = (n == 10 || n == 20 || n == 30) ? n : 100;
    }
    pack.Mode = mode;
    TError& err = ErrorRecord();
    err = TError();
    err.Time = platform::DateTimeText(platform::Now());
    return 0;
  });
}

int Kvo_InitializeIniF() {
  return SettingsRoutine(kErrInitializeIniF, [] {
    IniCallScope ini_files;  // each file read once for its keys and its write
    const std::string cfg = IniPath(kTradeCfgFile, "");
    std::vector<IniEntry> missing;
    for (int i = 0; i < kTradeCfgKeyCount; ++i) {
      const TradeCfgKey& k = kTradeCfgKeys[i];
      if (!IniKeyExists(cfg, k.section, k.key)) missing.push_back(IniEntry{k.section, k.key, ""});
    }
    if (!missing.empty()) IniWriteValues(cfg, missing);

    const std::string journal = IniPath(kTradeLogFile, "");
    std::string note;
    IniWriteValues(journal, PendingWrites(journal, &note));
    if (!note.empty()) Kvo_WriteDiagnostic("Kvo_InitializeIniF", 0, note);
    return 0;
  });
}

int Kvo_ReadTradeCfg(std::string* key) {
  return SettingsRoutine(kErrReadTradeCfg, [key] {
    // One read of the file for every key of the transaction.
    const std::string content = IniLoadFile(IniPath(kTradeCfgFile, ""));
    auto text = [&](const char* section, const char* name, std::string* out) {
      if (!IniFindValue(content, section, name, out)) out->clear();
    };
    auto integer = [&](const char* name, int32_t def, int32_t* out) {
      std::string value;
      text(kSectionHardWare, name, &value);
      if (IniParseInteger(value, out)) return;
      *out = def;
      if (!value.empty()) NoteDefaultUsed(kSectionHardWare, name, value, def);
    };
    if (key && !platform::TrimText(*key).empty()) {
      std::string line;
      text(kSectionUserTrade, key->c_str(), &line);
      *key = line;
    }
    TSystemCfg& sys = SystemCfg();
    text(kSectionSystem, "LocalIP", &sys.LocalIP);
    text(kSectionSystem, "SysHaveInit", &sys.SysHaveInit);
    text(kSectionSystem, "NativeAddress", &sys.NativeAddress);
    text(kSectionSystem, "NativeServer", &sys.NativeServer);
    text(kSectionSystem, "AREAID", &sys.AREAID);

    TICC_ENV& env = IccEnv();
    integer("Com", TradeCfgDefault("Com"), &env.Port);
    integer("ReadType", TradeCfgDefault("ReadType"), &env.ReadType);
    integer("CardType", TradeCfgDefault("CardType"), &env.CardType);
    integer("baud", TradeCfgDefault("baud"), &env.Baud);
    integer("OpType", TradeCfgDefault("OpType"), &env.OpType);
    env.CodeA = "907153";
    env.CodeB = "9133";
    env.ServerAddress = kIccServerAddress;
    if (env.TextBuffer) std::memcpy(env.TextBuffer, "ZeroUse!", sizeof "ZeroUse!");
    std::memset(env.Reserved48, 0, sizeof env.Reserved48);
    return 0;
  });
}

int Kvo_ReadIniFSection(const std::string& file, const std::string& section,
                        const std::string& key, std::string* value, const std::string& dir) {
  try {
    *value = IniReadString(IniPath(file, dir), section, key, "");
    return 0;
  } catch (const IniFileError& e) {
    Kvo_NoteCause(e.WithCause());
  } catch (...) {
  }
  return -1;
}

int Kvo_WriteIniFSection(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& value,
                         const std::string& dir) {
  Kvo_SetLastError(kErrWriteIniFSection);
  IniWriteString(IniPath(file, dir), section, key, value);
  return 0;
}

int Kvo_WriteIniFValues(const std::string& file, const std::vector<IniEntry>& entries,
                        const std::string& dir) {
  Kvo_SetLastError(kErrWriteIniFSection);
  IniWriteValues(IniPath(file, dir), entries);
  return 0;
}

}  // namespace corvane
