// settings: the nine settings of the settings dialog (transaction 52) from a
// terminal, for a workstation without a screen (reached over SSH).  Shown
// and saved through the dialog's own model: a save writes all nine keys in
// one durable replace of TradeCfg.ini beside this program, as confirming
// the dialog does.
#include <cstring>

#include "commands.h"
#include "config/ini_file.h"
#include "config/ini_text.h"
#include "common/error_codes.h"
#include "config/trade_cfg.h"
#include "ui/settings_dialog.h"

namespace corvane::host {
namespace {

void Show(Context& context, const std::vector<std::string>& values) {
  for (size_t i = 0; i < kSettingsFieldCount; ++i) {
    const SettingsField& f = SettingsFields()[i];
    context.Print(std::string(f.section) + "/" + f.key + "=" + values[i] + "\t(" + f.label + ")\n");
  }
}

// NAME=VALUE into values; false after saying what is wrong.
bool Assign(const Context& context, const std::string& arg, std::vector<std::string>* values) {
  const size_t eq = arg.find('=');
  const std::string name = arg.substr(0, eq);
  for (size_t i = 0; eq != std::string::npos && i < kSettingsFieldCount; ++i) {
    if (IniNamesEqual(name, SettingsFields()[i].key)) {
      (*values)[i] = context.text.ToLibrary(arg.substr(eq + 1));
      return true;
    }
  }
  std::fprintf(stderr, "corvane-host: settings: %s is not NAME=VALUE with NAME one of:", arg.c_str());
  for (size_t i = 0; i < kSettingsFieldCount; ++i)
    std::fprintf(stderr, " %s", SettingsFields()[i].key);
  std::fprintf(stderr, "\n");
  return false;
}

}  // namespace

int RunSettings(Context& context, const Args& args) {
  const std::string path = IniPath(kTradeCfgFile, "");
  std::vector<std::string> values;
  try {
    values = LoadSettings(path);
  } catch (const IniReadError& e) {
    std::fprintf(stderr, "corvane-host: cannot read %s: %s\n", path.c_str(), e.cause().c_str());
    return kExitFailed;
  }
  for (size_t i = 1; i < args.size(); ++i) {
    if (!Assign(context, args[i], &values)) return kExitUsage;
  }
  if (args.size() > 1) {
    try {
      SaveSettings(path, values);
    } catch (const IniWriteError&) {
      context.Print(DialogSaveMessage(path) + "\n");
      return kExitFailed;
    }
  }
  Show(context, values);
  return kExitOk;
}

}  // namespace corvane::host
