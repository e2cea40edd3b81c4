#include "link_probe_runner.h"

#include <sstream>

namespace corvane::testing {

LinkProbe::LinkProbe(ProbeKind kind) : kind_(kind) {
  std::string source = kind == ProbeKind::kLinux
                           ? BuildDir() + "/tests/link/link-probe"
                           : (Win64BuildDir().empty()
                                  ? std::string()
                                  : Win64BuildDir() + "/tests/link/link-probe.exe");
  if (!source.empty() && PathExists(source)) exe_ = CopyInto(source, host_.path());
}

std::map<std::string, std::string> LinkProbe::Run(const std::vector<std::string>& args) const {
  std::vector<std::string> argv{exe_};
  argv.insert(argv.end(), args.begin(), args.end());
  if (kind_ == ProbeKind::kWine) argv = UnderWine(argv);
  ProcessResult r = RunProcess(argv, host_.path(), 120000);
  std::map<std::string, std::string> values;
  values["exit"] = std::to_string(r.exit_code);
  values["stderr"] = r.err;
  std::istringstream lines(r.out);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return values;
}

std::string Hex(const std::string& bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

std::string Unhex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return out;
}

}  // namespace corvane::testing
