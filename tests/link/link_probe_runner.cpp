#include "link_probe_runner.h"

#include <sstream>

namespace corvane::testing {

ProbeKind ProbeKindOfThisRun() {
  return WindowsBuildDir().empty() ? ProbeKind::kLinux : ProbeKind::kWine;
}

LinkProbe::LinkProbe(ProbeKind kind) : kind_(kind) {
  std::string source = kind == ProbeKind::kLinux
                           ? BuildDir() + "/tests/link/link-probe"
                           : (WindowsBuildDir().empty()
                                  ? std::string()
                                  : WindowsBuildDir() + "/tests/link/link-probe.exe");
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

}  // namespace corvane::testing
