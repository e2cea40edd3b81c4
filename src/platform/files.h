// File access.  Paths are ANSI (GBK) texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::platform {

enum class ReadResult { kOk, kMissing, kFailed };

// Reads a whole file.
ReadResult ReadWholeFile(const std::string& path, std::string* content);

// Replaces a file's content so that readers and a crash at any moment find
// either the old content or the new, complete: writes a temporary file in
// the same directory, flushes it to disk, moves it over the old file and
// flushes the directory (on Windows the move is written through), so that
// once this returns true the new content survives a power cut.  A read-only
// file (no write permission at all; the read-only attribute on Windows) is
// refused and left as it is.
// The content may come in pieces, stored one after the other (a text
// changed in one place need not be copied whole first).
bool ReplaceFileDurably(const std::string& path, const std::vector<std::string_view>& pieces);
inline bool ReplaceFileDurably(const std::string& path, const std::string& content) {
  return ReplaceFileDurably(path, std::vector<std::string_view>{content});
}

// Appends bytes to a file, creating it; the file is opened and closed for
// this one call.
bool AppendToFile(const std::string& path, const std::string& bytes);

// A file held open for appending across several writes.  Each Append goes
// straight to the system (nothing waits in the process), so a crash of the
// process loses nothing already appended.  Other processes may read, write
// and delete the file while it is open.
class AppendFile {
 public:
  AppendFile() = default;
  ~AppendFile() { Close(); }
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  // Opens path for appending, creating it; closes the file held before.
  bool Open(const std::string& path);
  bool IsOpen() const { return handle_ != kClosed; }
  const std::string& Path() const { return path_; }
  bool Append(const std::string& bytes);
  void Close();

 private:
  static constexpr intptr_t kClosed = -1;
  intptr_t handle_ = kClosed;  // a descriptor or a handle
  std::string path_;
};

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates one directory; true when it exists afterwards.
bool MakeDirectory(const std::string& path);
bool RemoveFile(const std::string& path);

// The system's words for the last file operation of this thread that
// failed, with the error number ("No space left on device (errno 28)");
// read it right after the call that returned false.
std::string LastFileErrorText();

}  // namespace corvane::platform
