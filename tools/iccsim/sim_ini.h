// A small ini reader for the simulator's settings: sections of key=value
// lines, names matched regardless of letter case, ";" and "#" comments.
#pragma once

#include <map>
#include <string>

namespace iccsim {

// Longest settings file the simulator reads; the rest is ignored.
constexpr size_t kMaxIniBytes = 64 * 1024;

class IniText {
 public:
  // Parses the bytes of an ini file (at most kMaxIniBytes of them).
  explicit IniText(const std::string& bytes);

  // The value of section/key with surrounding blanks removed, or def when
  // the key is absent.
  std::string Text(const std::string& section, const std::string& key,
                   const std::string& def) const;
  // A decimal integer value; def when absent or not a number.
  int Integer(const std::string& section, const std::string& key, int def) const;

 private:
  std::map<std::string, std::string> values_;  // "section\nkey" in lower case
};

}  // namespace iccsim
