#include "config/text_convert.h"

#include "config/ini_text.h"

namespace corvane {

TextConvertError::TextConvertError(const std::string& text)
    : std::runtime_error("'" + text + "' is not a valid integer value") {}

int32_t TextToInt(const std::string& text) {
  int32_t v = 0;
  if (!IniParseInteger(text, &v)) throw TextConvertError(text);
  return v;
}

}  // namespace corvane
