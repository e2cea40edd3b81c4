// Wire bytes for the transport tests: words low byte first, value records
// and whole blocks.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "transport/data_block.h"

namespace corvane::transport::testing {

using Bytes = std::vector<uint8_t>;

inline Bytes Le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes r;
  for (const Bytes& p : parts) r.insert(r.end(), p.begin(), p.end());
  return r;
}

// An integer record (type 3, or 0x4003 by reference).
inline Bytes I4Rec(int32_t v, uint32_t type = 3) { return Cat({Le32(type), Le32(uint32_t(v))}); }

// A text record (type 8, or 0x4008 by reference): count, then UTF-16LE.
inline Bytes TextRec(const std::u16string& s, uint32_t type = 8) {
  Bytes r = Cat({Le32(type), Le32(uint32_t(s.size()))});
  for (char16_t c : s) r.insert(r.end(), {uint8_t(c & 0xFF), uint8_t(c >> 8)});
  return r;
}

inline Bytes BoolRec(bool v) { return {11, 0, 0, 0, uint8_t(v ? 0xFF : 0), uint8_t(v ? 0xFF : 0)}; }

// A whole block: signature, body size, body.
inline Bytes Block(uint32_t signature, const Bytes& body) {
  return Cat({Le32(signature), Le32(uint32_t(body.size())), body});
}

// The bytes of a block as it goes on the wire.
inline Bytes Raw(IDataBlock& b) {
  const uint8_t* p = b.RawMemory();
  return Bytes(p, p + b.DataSize() + 8);
}

// A block loaded from its wire bytes.
inline DataBlockPtr BlockOf(const Bytes& wire) {
  auto b = NewDataBlock();
  b->LoadFromBuffer(wire.data(), wire.size(), true);
  return b;
}

}  // namespace corvane::transport::testing
