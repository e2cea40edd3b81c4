#include "config/ini_file.h"

#include <map>
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

// The texts kept while a call scope lives, by path (a missing file as the
// empty text).
struct HeldTexts {
  int scopes = 0;  // call scopes alive, nested
  bool InCall() const { return scopes > 0; }
  std::map<std::string, std::string> texts;
};

HeldTexts& Held() {
  static HeldTexts held;
  return held;
}

// The file's text in *text: the kept one, or read into *scratch (and kept
// during a call).  False when the file exists but cannot be read, with the
// system's words in *why.
bool Load(const std::string& path, std::string* scratch, const std::string** text,
          std::string* why) {
  HeldTexts& held = Held();
  if (held.InCall()) {
    auto it = held.texts.find(path);
    if (it != held.texts.end()) {
      *text = &it->second;
      return true;
    }
  }
  platform::ReadResult r = platform::ReadWholeFile(path, scratch);
  if (r == platform::ReadResult::kFailed) {
    *why = platform::LastFileErrorText();
    return false;
  }
  if (r == platform::ReadResult::kMissing) scratch->clear();
  if (scratch->size() > kIniMaxFileBytes) {
    *why = "larger than " + std::to_string(kIniMaxFileBytes) + " bytes";
    return false;
  }
  if (IniHasByteOrderMark(*scratch)) NoteByteOrderMark(path);
  *text = scratch;
  if (held.InCall()) *text = &(held.texts[path] = std::move(*scratch));
  return true;
}

// Load for a read: raises IniReadError when the file cannot be read.
const std::string& LoadForRead(const std::string& path, std::string* scratch) {
  const std::string* text = nullptr;
  std::string why;
  if (!Load(path, scratch, &text, &why)) throw IniReadError(path, why);
  return *text;
}

// After a write: the change now in the file applied to the text kept
// (Load keeps every text read during a call), or nothing known (failure).
void Remember(const std::string& path, const IniChange* stored) {
  HeldTexts& held = Held();
  if (!held.InCall()) return;
  if (stored)
    held.texts[path].replace(stored->begin, stored->end - stored->begin, stored->text);
  else
    held.texts.erase(path);
}

}  // namespace

IniCallScope::IniCallScope() { ++Held().scopes; }

IniCallScope::~IniCallScope() {
  if (--Held().scopes == 0) Held().texts.clear();
}

IniFileError::IniFileError(const std::string& what, const std::string& path,
                           const std::string& cause)
    : std::runtime_error(what), path_(path), cause_(cause) {}

IniReadError::IniReadError(const std::string& path, const std::string& cause)
    : IniFileError("Unable to read " + path, path, cause) {}

IniWriteError::IniWriteError(const std::string& path, const std::string& cause)
    : IniFileError("Unable to write to " + path, path, cause) {}

std::string IniPath(const std::string& file, const std::string& dir) {
  if (!dir.empty()) return platform::JoinPath(dir, file);
  return platform::HostDirectory() + file;
}

std::string IniLoadFile(const std::string& path) {
  std::string scratch;
  const std::string& text = LoadForRead(path, &scratch);
  if (&text == &scratch) return scratch;
  return text;  // the text kept for the call
}

std::string IniReadString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& def) {
  std::string scratch, value;
  if (!IniFindValue(LoadForRead(path, &scratch), section, key, &value)) return def;
  return value;
}

int32_t IniReadInteger(const std::string& path, const std::string& section, const std::string& key,
                       int32_t def) {
  int32_t value = def;
  if (!IniParseInteger(IniReadString(path, section, key, std::string()), &value)) return def;
  return value;
}

bool IniKeyExists(const std::string& path, const std::string& section, const std::string& key) {
  std::string scratch;
  return IniFindValue(LoadForRead(path, &scratch), section, key, nullptr);
}

void IniWriteValues(const std::string& path, const std::vector<IniEntry>& entries) {
  std::string scratch;
  const std::string* text = nullptr;
  std::string why;
  if (!Load(path, &scratch, &text, &why)) throw IniWriteError(path, "cannot be read: " + why);
  IniChange change;
  if (!IniChangeFor(*text, entries, &change)) throw IniWriteError(path);
  const std::string_view old_text = *text;
  if (!platform::ReplaceFileDurably(path, {old_text.substr(0, change.begin), change.text,
                                           old_text.substr(change.end)})) {
    const std::string cause = platform::LastFileErrorText();
    Remember(path, nullptr);
    throw IniWriteError(path, cause);
  }
  Remember(path, &change);
}

void IniWriteString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) {
  IniWriteValues(path, {IniEntry{section, key, value}});
}

}  // namespace corvane
