// Runs the link probe program (Linux, or the Windows build under Wine) from
// a fresh host directory of its own, so that "down" and "log1" land there.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "hex_text.h"
#include "support/process.h"

namespace corvane::testing {

enum class ProbeKind { kLinux, kWine };

// kWine in a run for a Windows build, kLinux otherwise.
ProbeKind ProbeKindOfThisRun();

class LinkProbe {
 public:
  explicit LinkProbe(ProbeKind kind);
  // False when the program of this kind has not been built.
  bool available() const { return !exe_.empty(); }
  const std::string& host_dir() const { return host_.path(); }
  std::string HostFile(const std::string& relative) const { return host_ / relative; }
  // Runs one command; the "key=value" lines of its output.
  std::map<std::string, std::string> Run(const std::vector<std::string>& args) const;

 private:
  ProbeKind kind_;
  TempDir host_;
  std::string exe_;
};

}  // namespace corvane::testing
