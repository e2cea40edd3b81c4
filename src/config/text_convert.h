// Integer conversion of setting texts that raises on bad input.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace corvane {

// "'<text>' is not a valid integer value".
class TextConvertError : public std::runtime_error {
 public:
  explicit TextConvertError(const std::string& text);
};

// Decimal, "$" hex or "0x" hex (the integer rule of ini values); raises
// TextConvertError for anything else.
int32_t TextToInt(const std::string& text);

}  // namespace corvane
