// Texts between the terminal and the library: arguments typed in the
// terminal's encoding go to the library as GBK, and GBK replies come back
// in the terminal's encoding.  With --raw both pass as exact bytes.
#pragma once

#include <string>

namespace corvane::host {

class HostText {
 public:
  explicit HostText(bool raw) : raw_(raw) {}
  bool raw() const { return raw_; }
  // An argument as the library must receive it (GBK).
  std::string ToLibrary(const std::string& argument) const;
  // A GBK text of the library as the terminal shows it.
  std::string ToTerminal(const std::string& gbk) const;

 private:
  bool raw_;
};

// The warning to print when the terminal's encoding cannot be told (empty
// when it can); raw mode needs none.
std::string EncodingWarning(bool raw);

}  // namespace corvane::host
