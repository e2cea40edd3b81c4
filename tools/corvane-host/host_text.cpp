#include "host_text.h"

#include "platform/terminal.h"
#include "platform/text.h"

namespace corvane::host {

std::string HostText::ToLibrary(const std::string& argument) const {
  if (raw_) return argument;
  return platform::WideToGbk(platform::TerminalToWide(argument));
}

std::string HostText::ToTerminal(const std::string& gbk) const {
  if (raw_) return gbk;
  return platform::WideToTerminal(platform::GbkToWide(gbk));
}

std::string EncodingWarning(bool raw) {
  if (raw) return std::string();
  const platform::TerminalEncoding e = platform::TerminalTextEncoding();
  if (e.known) return std::string();
  return "corvane-host: warning: the terminal's encoding cannot be told (locale codeset \"" +
         e.name + "\"); texts are taken as UTF-8. Set LANG or LC_ALL (e.g. C.UTF-8), or use "
         "--raw for exact GBK bytes.\n";
}

}  // namespace corvane::host
