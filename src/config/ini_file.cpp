#include "config/ini_file.h"

#include <mutex>
#include <set>

#include "common/diagnostics.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace corvane {
namespace {

// One diagnostics line per file and process: the mark is skipped on every
// read, but an operator needs to hear of it once.
void NoteByteOrderMark(const std::string& path) {
  static std::mutex mutex;
  static std::set<std::string> noted;
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (!noted.insert(path).second) return;
  }
  Kvo_WriteDiagnostic("ini file", 0, "skipped the UTF-8 byte-order mark at the start of " + path);
}

// kOk with the content, kMissing with empty content, or kFailed (with
// its cause in *why when asked).
platform::ReadResult Load(const std::string& path, std::string* content,
                          std::string* why = nullptr) {
  platform::ReadResult r = platform::ReadWholeFile(path, content);
  if (r == platform::ReadResult::kFailed && why)
    *why = "cannot be read: " + platform::LastFileErrorText();
  if (r == platform::ReadResult::kMissing) content->clear();
  if (r == platform::ReadResult::kOk && content->size() > kIniMaxFileBytes) {
    if (why) *why = "larger than " + std::to_string(kIniMaxFileBytes) + " bytes";
    return platform::ReadResult::kFailed;
  }
  if (IniHasByteOrderMark(*content)) NoteByteOrderMark(path);
  return r;
}

}  // namespace

IniWriteError::IniWriteError(const std::string& path, const std::string& cause)
    : std::runtime_error("Unable to write to " + path), path_(path), cause_(cause) {}

std::string IniPath(const std::string& file, const std::string& dir) {
  if (!dir.empty()) return platform::JoinPath(dir, file);
  return platform::HostDirectory() + file;
}

bool IniLoadFile(const std::string& path, std::string* content) {
  return Load(path, content) != platform::ReadResult::kFailed;
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
  std::string why;
  if (Load(path, &content, &why) == platform::ReadResult::kFailed) throw IniWriteError(path, why);
  std::string updated;
  if (!IniApplyWrites(content, entries, &updated)) throw IniWriteError(path);
  if (!platform::ReplaceFileDurably(path, updated))
    throw IniWriteError(path, platform::LastFileErrorText());
}

void IniWriteString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) {
  IniWriteValues(path, {IniEntry{section, key, value}});
}

}  // namespace corvane
