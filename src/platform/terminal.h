// The encoding of the terminal a command-line tool talks to: what its
// arguments arrive in and what its output must be written in.  The library
// itself never uses this (its texts are GBK whatever the terminal).
#pragma once

#include <string>

namespace corvane::platform {

struct TerminalEncoding {
  // The encoding's name ("UTF-8", "GBK", "CP936"...); on Linux from the
  // locale (LC_ALL, LC_CTYPE, LANG), on Windows the console's code page.
  std::string name;
  // False when it cannot be told (the C or POSIX locale, or an encoding
  // that cannot be converted): texts are then taken as UTF-8.
  bool known = false;
};

TerminalEncoding TerminalTextEncoding();

// Arguments of the command line to UTF-16, and UTF-16 to output text, in
// the terminal's encoding.  Characters that cannot be converted become '?'.
std::u16string TerminalToWide(const std::string& text);
std::string WideToTerminal(const std::u16string& text);

}  // namespace corvane::platform

namespace corvane::platform {
// The system's ANSI code page on Windows (936 for GBK); 0 where the system
// has none (the library then converts its texts as code page 936 itself).
unsigned SystemCodePage();
}  // namespace corvane::platform
