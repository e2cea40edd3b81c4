// Ini files on disk, by the rules of ini_text.h.  Outside an IniCallScope
// every call goes to the file.  A write reads the file, applies the change
// and replaces the file durably (temporary file in the same directory,
// flushed to disk, moved over the old one), so a crash at any moment
// leaves the old file or the new one, complete.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/ini_text.h"

namespace corvane {

// A write that the system refused, or a section or key name that cannot be
// stored.  what() is "Unable to write to <path>"; cause() is the system's
// words for a refused write (empty for a name that cannot be stored).
class IniWriteError : public std::runtime_error {
 public:
  explicit IniWriteError(const std::string& path, const std::string& cause = "");
  const std::string& path() const { return path_; }
  const std::string& cause() const { return cause_; }
  // what() followed by ": " and the cause when there is one, for a log line.
  std::string WithCause() const { return what() + (cause_.empty() ? "" : ": " + cause_); }

 private:
  std::string path_;
  std::string cause_;
};

// While one of these lives (one transaction), each ini file is read once:
// its text is kept from its first read, and a write keeps the text it
// stored, so later reads and writes of the call start from it without
// reading the file again.  A write that fails forgets the file's text.
// Nothing is kept once the scope ends; a scope opened inside another one
// keeps the outer one's texts and leaves them to it.  On one thread.
class IniCallScope {
 public:
  IniCallScope();
  ~IniCallScope();
  IniCallScope(const IniCallScope&) = delete;
  IniCallScope& operator=(const IniCallScope&) = delete;
};

// The path of an ini file: dir (when not empty) joined with file, else the
// host program's directory followed by file.
std::string IniPath(const std::string& file, const std::string& dir);

// The whole file now, for several lookups (IniFindValue) from one read.  A
// missing file gives the empty text.  False when the file exists but cannot
// be read.
bool IniLoadFile(const std::string& path, std::string* content);

// Reads a value now.  A missing file or key gives def.  False when the file
// exists but cannot be read (then *value is untouched).
bool IniReadString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& def, std::string* value);
// Reads an integer value; text that is not an integer gives def.
bool IniReadInteger(const std::string& path, const std::string& section, const std::string& key,
                    int32_t def, int32_t* value);
// Whether the key exists.  False when the file exists but cannot be read.
bool IniKeyExists(const std::string& path, const std::string& section, const std::string& key,
                  bool* exists);

// Writes every entry (any sections) in one durable replace: the keys appear
// together or not at all.  Creates the file, sections and keys as needed.
// Raises IniWriteError when refused; the file is then unchanged.
void IniWriteValues(const std::string& path, const std::vector<IniEntry>& entries);
void IniWriteString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value);

}  // namespace corvane
