#include "script.h"

#include <fstream>

namespace corvane::host {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> args;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    args.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return args;
    start = tab + 1;
  }
}

}  // namespace

bool ReadScript(const char* path, std::vector<std::vector<std::string>>* commands) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    commands->push_back(SplitTabs(line));
  }
  return true;
}

}  // namespace corvane::host
