// Byte-level facts of GBK text (code page 936) that routines walking a
// byte string need.
#pragma once

#include <cstddef>
#include <string>

namespace corvane {

// First byte of a two-byte character; the byte after it belongs to the same
// character when it is a trail byte (0x40..0xFE, '\\' and '|' included).
inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// A byte that can follow a lead byte in a valid character: 0x40..0xFE
// without 0x7F.  '/', ':' and control characters never can; a lead byte
// before one of them stands alone (as the code page's conversion reads it).
inline bool IsGbkTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// A valid double-byte character starts at text[i].
inline bool IsGbkPairAt(const std::string& text, size_t i) {
  return i + 1 < text.size() && IsGbkLeadByte(static_cast<unsigned char>(text[i])) &&
         IsGbkTrailByte(static_cast<unsigned char>(text[i + 1]));
}

// The first max_bytes bytes of text at most, never ending in the middle of
// a double-byte character.
inline std::string GbkPrefix(const std::string& text, size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  size_t i = 0;
  while (i < max_bytes) {
    const size_t step = IsGbkLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    if (i + step > max_bytes) break;
    i += step;
  }
  return text.substr(0, i);
}

}  // namespace corvane
