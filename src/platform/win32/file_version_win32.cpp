#include <windows.h>

#include <string>
#include <vector>

#include "platform/file_version.h"
#include "platform/system_message.h"

namespace corvane::platform {

std::string FileVersion(const std::string& path, std::string* error) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  std::vector<char> data(size ? size : 1);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!size || !GetFileVersionInfoA(path.c_str(), 0, size, data.data()) ||
      !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &len) || !info) {
    *error = path + " has no version resource: " + SystemMessageText(static_cast<int32_t>(GetLastError()));
    return std::string();
  }
  return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(info->dwFileVersionLS));
}

}  // namespace corvane::platform
