#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <errno.h>

#include <cstring>

#include "platform/terminal.h"
#include "platform/text.h"

namespace corvane::platform {
namespace {

// The locale's character set, read once: "ANSI_X3.4-1968" under C/POSIX.
std::string LocaleCodeset() {
  static const std::string codeset = [] {
    const char* previous = setlocale(LC_CTYPE, nullptr);
    const std::string saved = previous ? previous : "C";
    setlocale(LC_CTYPE, "");
    const std::string name = nl_langinfo(CODESET);
    setlocale(LC_CTYPE, saved.c_str());
    return name;
  }();
  return codeset;
}

bool Convertible(const std::string& codeset) {
  iconv_t cd = iconv_open("UTF-16LE", codeset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

// Converts with iconv, one unconvertible input unit becoming '?'.
std::string Convert(const char* to, const char* from, const std::string& text,
                    const std::string& replacement, size_t unit) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
  std::string out;
  char* src = const_cast<char*>(text.data());
  size_t left = text.size();
  char buf[1024];
  while (left > 0) {
    char* dst = buf;
    size_t room = sizeof buf;
    const size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buf, dst - buf);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      out += replacement;
      const size_t skip = left < unit ? left : unit;
      src += skip;
      left -= skip;
    }
  }
  iconv_close(cd);
  return out;
}

std::string ActiveCodeset() {
  const TerminalEncoding e = TerminalTextEncoding();
  return e.known ? e.name : "UTF-8";
}

}  // namespace

TerminalEncoding TerminalTextEncoding() {
  TerminalEncoding e;
  e.name = LocaleCodeset();
  e.known = e.name != "ANSI_X3.4-1968" && !e.name.empty() && Convertible(e.name);
  return e;
}

std::u16string TerminalToWide(const std::string& text) {
  const std::string bytes = Convert("UTF-16LE", ActiveCodeset().c_str(), text, std::string("?\0", 2), 1);
  std::u16string out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                        (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  return out;
}

std::string WideToTerminal(const std::u16string& text) {
  std::string bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return Convert(ActiveCodeset().c_str(), "UTF-16LE", bytes, "?", 2);
}

}  // namespace corvane::platform

namespace corvane::platform {
unsigned SystemCodePage() { return 0; }
}  // namespace corvane::platform
