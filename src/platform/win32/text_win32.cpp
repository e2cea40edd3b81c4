#include <windows.h>

#include "platform/text.h"

namespace corvane::platform {
namespace {

std::u16string ToWide(UINT cp, const std::string& text) {
  if (text.empty()) return std::u16string();
  int n = MultiByteToWideChar(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return std::u16string();
  std::u16string out(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(cp, 0, text.data(), static_cast<int>(text.size()),
                      reinterpret_cast<wchar_t*>(&out[0]), n);
  return out;
}

std::string FromWide(UINT cp, const std::u16string& text) {
  if (text.empty()) return std::string();
  const wchar_t* src = reinterpret_cast<const wchar_t*>(text.data());
  int n = WideCharToMultiByte(cp, 0, src, static_cast<int>(text.size()), nullptr, 0, nullptr,
                              nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(cp, 0, src, static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

}  // namespace

std::u16string AnsiToWide(const std::string& text) { return ToWide(CP_ACP, text); }
std::string WideToAnsi(const std::u16string& text) { return FromWide(CP_ACP, text); }
std::u16string GbkToWide(const std::string& text) { return ToWide(936, text); }
std::string WideToGbk(const std::u16string& text) { return FromWide(936, text); }

}  // namespace corvane::platform

namespace corvane::platform {
unsigned AnsiCodePage() { return GetACP(); }
}  // namespace corvane::platform

// The terminal: arguments arrive in the ANSI code page; output goes in the
// console's code page, or the ANSI code page without a console.
#include "platform/terminal.h"

namespace corvane::platform {
namespace {
UINT OutputCodePage() {
  const UINT cp = GetConsoleOutputCP();
  return cp ? cp : GetACP();
}
}  // namespace

TerminalEncoding TerminalTextEncoding() {
  TerminalEncoding e;
  e.name = "CP" + std::to_string(OutputCodePage());
  e.known = true;
  return e;
}

std::u16string TerminalToWide(const std::string& text) { return ToWide(CP_ACP, text); }
std::string WideToTerminal(const std::u16string& text) { return FromWide(OutputCodePage(), text); }

}  // namespace corvane::platform

namespace corvane::platform {
unsigned SystemCodePage() { return GetACP(); }
}  // namespace corvane::platform
