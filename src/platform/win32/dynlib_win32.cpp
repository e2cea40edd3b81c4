#include <windows.h>

#include "platform/dynlib.h"

namespace corvane::platform {
namespace {
std::string Describe(DWORD code) {
  char buf[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           code, 0, buf, sizeof buf, nullptr);
  std::string text = n ? std::string(buf, n) : std::string();
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  return "error " + std::to_string(code) + (text.empty() ? "" : " (" + text + ")");
}
}  // namespace

DynamicLibrary::~DynamicLibrary() { Close(); }

bool DynamicLibrary::Open(const std::string& path) {
  Close();
  handle_ = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
  if (!handle_) {
    error_ = path + ": " + Describe(GetLastError());
    return false;
  }
  error_.clear();
  return true;
}

void DynamicLibrary::Close() {
  if (handle_) FreeLibrary(reinterpret_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const char* name) {
  if (!handle_) {
    error_ = "library not loaded";
    return nullptr;
  }
  void* p = reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
  if (!p) error_ = std::string(name) + ": " + Describe(GetLastError());
  return p;
}

std::string SharedLibraryFileName(const std::string& name) { return name + ".dll"; }

}  // namespace corvane::platform
