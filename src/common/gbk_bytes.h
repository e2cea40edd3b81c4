// Byte-level facts of GBK text (code page 936) that routines walking a
// byte string need.
#pragma once

namespace corvane {

// First byte of a two-byte character; the byte after it belongs to the same
// character whatever its value (0x40..0xFE, '\\' and '|' included).
inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

}  // namespace corvane
