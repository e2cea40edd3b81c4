#include "sim_settings.h"

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim_ini.h"

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
  IniText ini(bytes);
  const std::string dir = DirectoryOf(path);
  Settings s;
  s.data_file = Resolve(dir, ini.Text("Card", "DataFile", "iccard.dat"));
  s.journal_file = Resolve(dir, ini.Text("Card", "Journal", "iccsim.log"));
  s.initial_data = ini.Text("Card", "Data", DefaultCardData());
  s.pin = ini.Text("Card", "PIN", "9133");
  for (int i = 0; i < kFunctionCount; ++i) {
    s.fail[i] = ini.Integer("Fail", kFunctionNames[i], 0);
    s.fault[i] = ini.Integer("Fault", kFunctionNames[i], 0) != 0;
  }
  return s;
}

}  // namespace iccsim
