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

// A file that the ini engine could not read or write.  what() names the
// file; cause() is the system's words (empty when there are none).
class IniFileError : public std::runtime_error {
 public:
  const std::string& path() const { return path_; }
  const std::string& cause() const { return cause_; }
  // what() followed by ": " and the cause when there is one, for a log line.
  std::string WithCause() const { return what() + (cause_.empty() ? "" : ": " + cause_); }

 protected:
  IniFileError(const std::string& what, const std::string& path, const std::string& cause);

 private:
  std::string path_;
  std::string cause_;
};

// A file that exists but cannot be read, or that is larger than
// kIniMaxFileBytes.  what() is "Unable to read <path>".
class IniReadError : public IniFileError {
 public:
  IniReadError(const std::string& path, const std::string& cause);
};

// A write that the system refused, or a section or key name that cannot be
// stored (no cause then).  what() is "Unable to write to <path>".
class IniWriteError : public IniFileError {
 public:
  explicit IniWriteError(const std::string& path, const std::string& cause = "");
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
// missing file gives the empty text.  Raises IniReadError when the file
// exists but cannot be read.
std::string IniLoadFile(const std::string& path);

// Reads a value now.  A missing file or key gives def.  Raises IniReadError
// when the file exists but cannot be read.
std::string IniReadString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& def);
// Reads an integer value; text that is not an integer gives def.
int32_t IniReadInteger(const std::string& path, const std::string& section, const std::string& key,
                       int32_t def);
// Whether the key exists.
bool IniKeyExists(const std::string& path, const std::string& section, const std::string& key);

// Writes every entry (any sections) in one durable replace: the keys appear
// together or not at all.  Creates the file, sections and keys as needed.
// Raises IniWriteError when refused; the file is then unchanged.
void IniWriteValues(const std::string& path, const std::vector<IniEntry>& entries);
void IniWriteString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value);

}  // namespace corvane
