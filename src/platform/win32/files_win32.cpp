#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/system_message.h"

namespace corvane::platform {
namespace {

std::atomic<unsigned> g_temp_counter{0};

bool WriteAll(HANDLE h, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(h, p, chunk, &written, nullptr)) return false;
    p += written;
    left -= written;
  }
  return true;
}

// "<name>.~<pid>.<n>.tmp": the writer's process id, or 0 for any other name.
DWORD TempWriter(const std::string& entry, const std::string& name) {
  const std::string prefix = name + ".~";
  const std::string suffix = ".tmp";
  if (entry.size() <= prefix.size() + suffix.size() ||
      _strnicmp(entry.c_str(), prefix.c_str(), prefix.size()) != 0 ||
      _stricmp(entry.c_str() + entry.size() - suffix.size(), suffix.c_str()) != 0)
    return 0;
  const char* p = entry.c_str() + prefix.size();
  char* end = nullptr;
  unsigned long pid = std::strtoul(p, &end, 10);
  if (end == p || *end != '.' || pid == 0) return 0;
  const char* q = end + 1;
  std::strtoul(q, &end, 10);
  if (end == q || end != entry.c_str() + entry.size() - suffix.size()) return 0;
  return static_cast<DWORD>(pid);
}

// A process id names a running process unless the system says there is no
// such process or the process has ended; when in doubt (no access), it runs.
bool ProcessRuns(DWORD pid) {
  HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!h) return GetLastError() != ERROR_INVALID_PARAMETER;
  bool runs = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
  CloseHandle(h);
  return runs;
}

// Temporary files of this target whose writer no longer runs are left over
// from a writer that was killed; a live writer's (another process's, or
// ours) are left alone.  A file still open somewhere is not deleted.
void RemoveStaleTemps(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  // Names first, deletions after: deleting while enumerating may skip files.
  std::vector<std::string> stale;
  WIN32_FIND_DATAA found;
  HANDLE f = FindFirstFileA((path + ".~*.tmp").c_str(), &found);
  if (f == INVALID_HANDLE_VALUE) return;
  do {
    DWORD writer = TempWriter(found.cFileName, name);
    if (writer == 0 || writer == GetCurrentProcessId() || ProcessRuns(writer)) continue;
    stale.push_back(dir + found.cFileName);
  } while (FindNextFileA(f, &found));
  FindClose(f);
  for (const std::string& file : stale) DeleteFileA(file.c_str());
}

// The file that path names once symbolic links and junctions on the way
// are followed (as the system opens it), so that the replace writes
// through a link to its target and the link stays a link, as on POSIX.  A
// file that does not exist yet (or a link whose target does not), and a
// final name that the ANSI code page cannot spell, keep the path given.
std::string FinalPath(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return path;
  std::vector<wchar_t> wide(32768);
  const DWORD n = GetFinalPathNameByHandleW(h, wide.data(), static_cast<DWORD>(wide.size()),
                                            FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  CloseHandle(h);
  if (n == 0 || n >= wide.size()) return path;
  std::wstring target(wide.data(), n);
  if (target.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
    target = L"\\\\" + target.substr(8);
  } else if (target.compare(0, 4, L"\\\\?\\") == 0) {
    target = target.substr(4);
  }
  BOOL lossy = FALSE;
  const int bytes = WideCharToMultiByte(CP_ACP, 0, target.c_str(), -1, nullptr, 0, nullptr, &lossy);
  if (bytes <= 1 || lossy) return path;
  std::string ansi(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, target.c_str(), -1, &ansi[0], bytes, nullptr, nullptr);
  ansi.resize(static_cast<size_t>(bytes) - 1);
  return ansi;
}

}  // namespace

ReadResult ReadWholeFile(const std::string& path, std::string* content) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD e = GetLastError();
    return (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) ? ReadResult::kMissing
                                                                     : ReadResult::kFailed;
  }
  content->clear();
  LARGE_INTEGER size;
  if (GetFileSizeEx(h, &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 30)) {
    content->reserve(static_cast<size_t>(size.QuadPart));
  }
  char buf[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(h, buf, sizeof buf, &n, nullptr)) {
      const DWORD error = GetLastError();  // the cause, for LastFileErrorText
      CloseHandle(h);
      SetLastError(error);
      return ReadResult::kFailed;
    }
    if (n == 0) break;
    content->append(buf, n);
  }
  CloseHandle(h);
  return ReadResult::kOk;
}

bool ReplaceFileDurably(const std::string& link_or_path, const std::vector<std::string_view>& pieces) {
  const std::string path = FinalPath(link_or_path);
  // Windows refuses to move over a read-only file; Wine does not: refuse here.
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  RemoveStaleTemps(path);
  std::string temp = path + ".~" + std::to_string(GetCurrentProcessId()) + "." +
                     std::to_string(g_temp_counter.fetch_add(1)) + ".tmp";
  HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  for (std::string_view piece : pieces) ok = ok && WriteAll(h, piece);
  ok = ok && FlushFileBuffers(h);
  ok = CloseHandle(h) && ok;
  if (ok) {
    ok = MoveFileExA(temp.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) {
    const DWORD error = GetLastError();  // the cause, for LastFileErrorText
    DeleteFileA(temp.c_str());
    SetLastError(error);
  }
  return ok;
}

bool AppendToFile(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(h, bytes);
  return CloseHandle(h) && ok;
}

bool AppendFile::Open(const std::string& path) {
  Close();
  HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<intptr_t>(h);
  path_ = path;
  return true;
}

bool AppendFile::Append(const std::string& bytes) {
  return IsOpen() && WriteAll(reinterpret_cast<HANDLE>(handle_), bytes);
}

void AppendFile::Close() {
  if (!IsOpen()) return;
  CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = kClosed;
  path_.clear();
}

bool FileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDirectory(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return true;
  return DirectoryExists(path);
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

std::string LastFileErrorText() { return SystemErrorText(static_cast<int>(GetLastError())); }

}  // namespace corvane::platform
