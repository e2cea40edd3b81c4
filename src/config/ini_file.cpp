#include "config/ini_file.h"

#include "platform/files.h"
#include "platform/paths.h"

namespace corvane {
namespace {

// kOk with the content, kMissing with empty content, or kFailed.
platform::ReadResult Load(const std::string& path, std::string* content) {
  platform::ReadResult r = platform::ReadWholeFile(path, content);
  if (r == platform::ReadResult::kMissing) content->clear();
  if (r == platform::ReadResult::kOk && content->size() > kIniMaxFileBytes) {
    return platform::ReadResult::kFailed;
  }
  return r;
}

}  // namespace

IniWriteError::IniWriteError(const std::string& path)
    : std::runtime_error("Unable to write to " + path), path_(path) {}

std::string IniPath(const std::string& file, const std::string& dir) {
  if (!dir.empty()) return platform::JoinPath(dir, file);
  return platform::HostDirectory() + file;
}

bool IniReadString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& def, std::string* value) {
  std::string content;
  if (Load(path, &content) == platform::ReadResult::kFailed) return false;
  if (!IniFindValue(content, section, key, value)) *value = def;
  return true;
}

bool IniReadInteger(const std::string& path, const std::string& section, const std::string& key,
                    int32_t def, int32_t* value) {
  std::string text;
  if (!IniReadString(path, section, key, std::string(), &text)) return false;
  if (!IniParseInteger(text, value)) *value = def;
  return true;
}

bool IniKeyExists(const std::string& path, const std::string& section, const std::string& key,
                  bool* exists) {
  std::string content;
  if (Load(path, &content) == platform::ReadResult::kFailed) return false;
  *exists = IniFindValue(content, section, key, nullptr);
  return true;
}

void IniWriteValues(const std::string& path, const std::vector<IniEntry>& entries) {
  std::string content;
  if (Load(path, &content) == platform::ReadResult::kFailed) throw IniWriteError(path);
  std::string updated;
  if (!IniApplyWrites(content, entries, &updated)) throw IniWriteError(path);
  if (!platform::ReplaceFileDurably(path, updated)) throw IniWriteError(path);
}

void IniWriteString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) {
  IniWriteValues(path, {IniEntry{section, key, value}});
}

}  // namespace corvane
