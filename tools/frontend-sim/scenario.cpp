#include "scenario.h"

#include <cstdlib>
#include <sstream>

namespace frontend_sim {
namespace {

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
  return s.substr(a, b - a);
}

}  // namespace

bool Scenario::Parse(const std::string& text, std::string* error) {
  std::istringstream in(text);
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    ++n;
    if (n == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    std::string t = Trim(line);
    if (t.empty() || t[0] == '#') continue;
    size_t eq = t.find('=');
    if (eq == std::string::npos) {
      *error = "line " + std::to_string(n) + ": expected key = value";
      return false;
    }
    std::string key = Trim(t.substr(0, eq));
    // The value keeps everything after "= " (one blank taken off), so that
    // replies may end in blanks.
    std::string value = line.substr(line.find('=') + 1);
    if (!value.empty() && value[0] == ' ') value.erase(0, 1);
    while (!value.empty() && value.back() == '\r') value.pop_back();
    if (key == "server") {
      servers.push_back(Trim(value));
    } else if (key == "create-error") {
      create_error = value;
    } else if (key == "default") {
      default_reply = value;
    } else if (key == "definition") {
      definitions.push_back(Trim(value));
    } else if (key == "version-result") {
      version_result = value;
    } else if (key.compare(0, 6, "reply ") == 0) {
      std::string num = Trim(key.substr(6));
      char* end = nullptr;
      long v = std::strtol(num.c_str(), &end, 10);
      if (num.empty() || *end != 0) {
        *error = "line " + std::to_string(n) + ": bad transaction number '" + num + "'";
        return false;
      }
      replies[static_cast<int>(v)].push_back(value);
    } else {
      *error = "line " + std::to_string(n) + ": unknown key '" + key + "'";
      return false;
    }
  }
  return true;
}

bool Scenario::Accepts(const std::string& server) const {
  if (servers.empty()) return true;
  for (const auto& s : servers)
    if (s == server) return true;
  return false;
}

std::string Scenario::ReplyFor(int number, size_t call) const {
  auto it = replies.find(number);
  if (it != replies.end() && !it->second.empty())
    return it->second[call < it->second.size() ? call : it->second.size() - 1];
  if (number == 21) {
    std::string defs;
    for (size_t i = 0; i < definitions.size(); ++i) defs += (i ? "%%" : "") + definitions[i];
    return "0~~~~~~~" + defs + "~" + version_result;
  }
  return default_reply;
}

size_t CallCounter::Next(int number) {
  std::lock_guard<std::mutex> lock(mutex_);
  return counts_[number]++;
}

}  // namespace frontend_sim
