#include <fstream>
#include <iterator>

#include "platform/file_version.h"

namespace corvane::platform {

std::string FileVersion(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open " + path;
    return std::string();
  }
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t mark = data.find("@(#)");
  const size_t end = mark == std::string::npos ? mark : data.find('\0', mark);
  const size_t blank =
      end == std::string::npos ? end : data.rfind(' ', end);
  if (blank == std::string::npos || blank < mark) {
    *error = path + " carries no version mark";
    return std::string();
  }
  return data.substr(blank + 1, end - blank - 1);
}

}  // namespace corvane::platform
