#include "sim_ini.h"

#include <cstdlib>

namespace iccsim {

namespace {

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

std::string Key(const std::string& section, const std::string& key) {
  return Lower(section) + "\n" + Lower(key);
}

}  // namespace

IniText::IniText(const std::string& bytes) {
  const std::string text = bytes.substr(0, kMaxIniBytes);
  std::string section;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      section = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string name = Trim(line.substr(0, eq));
    if (name.empty()) continue;
    // The first occurrence of a key counts, as with the system's ini reader.
    values_.emplace(Key(section, name), Trim(line.substr(eq + 1)));
  }
}

std::string IniText::Text(const std::string& section, const std::string& key,
                          const std::string& def) const {
  auto it = values_.find(Key(section, key));
  return it == values_.end() ? def : it->second;
}

int IniText::Integer(const std::string& section, const std::string& key, int def) const {
  const std::string t = Text(section, key, "");
  if (t.empty()) return def;
  char* end = nullptr;
  // long long: long is only 32 bits on Windows, where strtol would clamp.
  long long v = std::strtoll(t.c_str(), &end, 10);
  if (!end || *end != '\0' || v < -2147483647LL - 1 || v > 2147483647LL) return def;
  return static_cast<int>(v);
}

}  // namespace iccsim
