// Value records: writing values into a data block and reading them back.
// No I/O: these work on a block's bytes only.  Everything a record says
// about sizes is checked against what the block actually holds before
// anything is allocated.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "transport/data_block.h"
#include "transport/variant.h"

namespace corvane::transport {

// Puts a local object into the export table; returns its identifier.
using ExportFn = std::function<int32_t(const std::shared_ptr<IDispatchObject>&)>;
// Makes the local stand-in (a proxy) for the peer's object identifier.
using ProxyFn = std::function<std::shared_ptr<IDispatchObject>(int32_t)>;

struct ReadFlags {
  bool came_by_ref = false;
  bool variant_by_ref = false;
};

// Nesting limit of one value: arrays of variants that hold arrays, and
// by-reference variant words that refer to further such words, count a
// level each.  A deeper value is refused as "Invalid data packet".
constexpr int kMaxValueDepth = 16;
// Element records of arrays of non-raw types that one value may hold, at
// every level together.  Each decoded element takes far more memory than
// its 4 to 8 bytes on the wire; the limit keeps a hostile block from
// multiplying its size in memory.
constexpr int64_t kMaxValueRecords = 65536;
// Largest dimension count accepted in an array record.
constexpr int32_t kMaxArrayDimensions = 64;

void WriteI4(IDataBlock& block, int32_t v);
void WriteText(IDataBlock& block, const std::u16string& text);
void WriteBool(IDataBlock& block, bool v);
// Throws EInterpreterError "Unsupported variant type: %s" for a value that
// cannot be encoded.
void WriteVariant(IDataBlock& block, const Variant& v, const ExportFn& export_object);

// Throws ETransportError "Invalid data packet" for a record that does not
// fit in the block, EInterpreterError for an unsupported type.
Variant ReadVariant(IDataBlock& block, ReadFlags* flags, const ProxyFn& make_proxy);
// A record that must be a 32-bit integer (or a text, or a boolean).
int32_t ReadI4(IDataBlock& block);
std::u16string ReadText(IDataBlock& block, const ProxyFn& make_proxy);

}  // namespace corvane::transport
