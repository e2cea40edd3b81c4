// Prints how this platform converts every one- and two-byte GBK sequence to
// UTF-16 and back, one line per sequence: "bytes wide back", then every
// UTF-16 unit to GBK.  The Linux test
// compares the output of the Linux and the Windows (Wine) builds.
#include <cstdio>
#include <string>

#include "platform/text.h"

namespace {
void Line(const std::string& bytes) {
  std::u16string wide = corvane::platform::GbkToWide(bytes);
  std::string back = corvane::platform::WideToGbk(wide);
  for (unsigned char c : bytes) std::printf("%02X", c);
  std::printf(" ");
  for (char16_t w : wide) std::printf("%04X", static_cast<unsigned>(w));
  std::printf(" ");
  for (unsigned char c : back) std::printf("%02X", c);
  std::printf("\n");
}
}  // namespace

int main() {
  for (int b = 0x80; b <= 0xFF; ++b) Line(std::string(1, static_cast<char>(b)));
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      Line(std::string{static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  // Every UTF-16 unit outside the surrogates, to GBK.
  for (int w = 0x80; w <= 0xFFFF; ++w) {
    if (w >= 0xD800 && w <= 0xDFFF) continue;
    std::string gbk = corvane::platform::WideToGbk(std::u16string(1, static_cast<char16_t>(w)));
    std::printf("U%04X ", w);
    for (unsigned char c : gbk) std::printf("%02X", c);
    std::printf("\n");
  }
  return 0;
}
