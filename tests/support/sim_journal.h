// The card simulator's journal: one line per call, the function's name and
// then its name=value fields, separated by tabs.
#pragma once

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace corvane::testing {

struct SimCall {
  std::string function;
  std::map<std::string, std::string> fields;
};

inline std::vector<SimCall> ParseSimJournal(const std::string& text) {
  std::vector<SimCall> calls;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    SimCall call;
    size_t pos = line.find('\t');
    call.function = line.substr(0, pos);
    while (pos != std::string::npos) {
      const size_t next = line.find('\t', pos + 1);
      const std::string field = line.substr(pos + 1, next == std::string::npos ? next : next - pos - 1);
      const size_t eq = field.find('=');
      call.fields[field.substr(0, eq)] = eq == std::string::npos ? "" : field.substr(eq + 1);
      pos = next;
    }
    calls.push_back(call);
  }
  return calls;
}

}  // namespace corvane::testing
