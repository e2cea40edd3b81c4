// The ini text codec on arbitrary file content and names: reads never fail
// on any text, and a write that is accepted can be read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/ini_text.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // content \0 section \0 key \0 value
  std::string parts[4];
  size_t at = 0;
  for (int i = 0; i < 4; ++i) {
    size_t end = i < 3 ? input.find('\0', at) : std::string::npos;
    parts[i] = input.substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (end == std::string::npos) break;
    at = end + 1;
  }
  const std::string& text = parts[0];
  std::string value;
  IniFindValue(text, parts[1], parts[2], &value);
  int32_t n = 0;
  IniParseInteger(parts[3], &n);
  std::string out;
  if (IniApplyWrites(text, {IniEntry{parts[1], parts[2], parts[3]}}, &out)) {
    if (!IniFindValue(out, parts[1], parts[2], nullptr)) std::abort();
    std::string again;
    if (!IniApplyWrites(out, {IniEntry{parts[1], parts[2], parts[3]}}, &again)) std::abort();
  }
  return 0;
}
