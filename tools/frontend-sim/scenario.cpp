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
    } else if (!ParseHostile(key, value, error)) {
      *error = "line " + std::to_string(n) + ": " + *error;
      return false;
    }
  }
  return true;
}

namespace {

bool Number(const std::string& text, long long* out) {
  std::string t = Trim(text);
  char* end = nullptr;
  *out = std::strtoll(t.c_str(), &end, 10);
  return !t.empty() && *end == 0;
}

// Hex bytes; blanks between groups; a group followed by "*COUNT" repeats.
bool HexBytes(const std::string& text, std::vector<unsigned char>* out) {
  std::istringstream in(text);
  std::string group;
  while (in >> group) {
    long long times = 1;
    const size_t star = group.find('*');
    if (star != std::string::npos && (!Number(group.substr(star + 1), &times) || times < 0))
      return false;
    const std::string hex = group.substr(0, star);
    if (hex.size() % 2 != 0) return false;
    std::vector<unsigned char> bytes;
    for (size_t i = 0; i < hex.size(); i += 2) {
      char* end = nullptr;
      const std::string pair = hex.substr(i, 2);
      bytes.push_back(static_cast<unsigned char>(std::strtoul(pair.c_str(), &end, 16)));
      if (*end != 0) return false;
    }
    for (long long k = 0; k < times; ++k) out->insert(out->end(), bytes.begin(), bytes.end());
  }
  return true;
}

}  // namespace

bool Scenario::ParseNumbered(const std::string& key, const std::string& value, std::string* error) {
  const size_t blank = key.find(' ');
  const std::string name = key.substr(0, blank);
  if (name != "reply" && name != "raw-result" && name != "requests") {
    *error = "unknown key '" + key + "'";
    return false;
  }
  long long number = 0;
  if (blank == std::string::npos || !Number(key.substr(blank + 1), &number)) {
    *error = "bad transaction number '" + (blank == std::string::npos ? "" : Trim(key.substr(blank + 1))) + "'";
    return false;
  }
  const int no = static_cast<int>(number);
  if (name == "reply") {
    replies[no].push_back(value);
    return true;
  }
  if (name == "raw-result") {
    if (HexBytes(value, &raw_results[no])) return true;
    *error = "raw-result: expected hex bytes, a group may end in *COUNT";
    return false;
  }
  std::istringstream in(value);
  std::string count, word;
  RequestFlood& f = floods[no];
  bool ok = in >> count && Number(count, &f.count) && f.count >= -1;
  while (ok && in >> word) {
    if (word == "silent") f.silent = true;
    else ok = word.compare(0, 4, "pad=") == 0 && Number(word.substr(4), &f.pad) && f.pad >= 0;
  }
  if (!ok) *error = "requests: expected COUNT [pad=CHARACTERS] [silent]";
  return ok;
}

bool Scenario::ParseHostile(const std::string& key, const std::string& value, std::string* error) {
  if (key != "drop") return ParseNumbered(key, value, error);
  std::istringstream in(value);
  if (in >> drop_connection >> drop_after_blocks && drop_connection > 0 && drop_after_blocks >= 0)
    return true;
  *error = "drop: expected CONNECTION BLOCKS";
  return false;
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
