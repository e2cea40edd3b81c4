#include "sim_settings.h"

#include <utility>

#include "config/ini_text.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace iccsim {

namespace pf = corvane::platform;

const char* const kFunctionNames[kFunctionCount] = {"IC_OpenSession", "IC_PINVerify",
                                                    "IC_GetData", "IC_SaveData",
                                                    "IC_CloseSession"};
const char kSettingsFileName[] = "iccsim.ini";
const char kSettingsVariable[] = "CORVANE_ICCSIM_INI";

namespace {

bool IsAbsolute(const std::string& p) {
  return (!p.empty() && (p[0] == '/' || p[0] == '\\')) || (p.size() > 1 && p[1] == ':');
}

std::string DirectoryOf(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// The settings file is read with the library's own ini rules.
class Ini {
 public:
  explicit Ini(std::string bytes) : bytes_(std::move(bytes)) {}
  std::string Text(const char* section, const char* key, const std::string& def) const {
    std::string value;
    return corvane::IniFindValue(bytes_, section, key, &value) ? value : def;
  }
  int Integer(const char* section, const char* key, int def) const {
    int32_t value;
    return corvane::IniParseInteger(Text(section, key, ""), &value) ? value : def;
  }

 private:
  std::string bytes_;
};

std::string Resolve(const std::string& dir, const std::string& name) {
  if (IsAbsolute(name) || dir.empty()) return name;
  return pf::JoinPath(dir, name);
}

}  // namespace

std::string SettingsPath() {
  std::string p = pf::EnvironmentValue(kSettingsVariable);
  if (!p.empty()) return p;
  return pf::JoinPath(pf::HostDirectory(), kSettingsFileName);
}

std::string DefaultCardData() {
  return std::string(180, '1') + std::string(14, '0') + std::string(206, '2');
}

Settings LoadSettings() {
  const std::string path = SettingsPath();
  std::string bytes;
  pf::ReadWholeFile(path, &bytes);
  const Ini ini(std::move(bytes));
  const std::string dir = DirectoryOf(path);
  Settings s;
  s.data_file = Resolve(dir, ini.Text("Card", "DataFile", "iccard.dat"));
  s.journal_file = Resolve(dir, ini.Text("Card", "Journal", "iccsim.log"));
  s.initial_data = ini.Text("Card", "Data", DefaultCardData());
  s.pin = ini.Text("Card", "PIN", "9133");
  for (int i = 0; i < kFunctionCount; ++i) {
    s.fail[i] = ini.Integer("Fail", kFunctionNames[i], 0);
    s.fault[i] = ini.Integer("Fault", kFunctionNames[i], 0) != 0;
    s.reenter[i] = ini.Integer("Reenter", kFunctionNames[i], 0) != 0;
  }
  return s;
}

}  // namespace iccsim
