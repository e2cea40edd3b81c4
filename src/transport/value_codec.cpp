#include "transport/value_codec.h"

#include <cstring>

#include "transport/byte_order.h"
#include "transport/errors.h"

namespace corvane::transport {
namespace {

void Put32(IDataBlock& b, uint32_t v) {
  uint8_t p[4];
  StoreLE32(p, v);
  b.AppendBytes(p, 4);
}

void Need(IDataBlock& b, int64_t count) {
  if (count < 0 || count > b.Remaining()) throw ETransportError(kInvalidDataPacket);
}

uint32_t Take32(IDataBlock& b) {
  uint8_t p[4];
  if (b.TakeBytes(p, 4) != 4) throw ETransportError(kInvalidDataPacket);
  return LoadLE32(p);
}

// Text payloads are UTF-16 little-endian: on a little-endian host the
// characters are the bytes, moved in one piece.
bool HostIsLittleEndian() {
  const uint16_t probe = 1;
  uint8_t first;
  std::memcpy(&first, &probe, 1);
  return first == 1;
}

void SwapUnits(char16_t* p, size_t n) {
  for (size_t i = 0; i < n; ++i) p[i] = static_cast<char16_t>((p[i] >> 8) | (p[i] << 8));
}

void PutText(IDataBlock& b, const std::u16string& text, uint32_t word = vtBstr) {
  Put32(b, word);
  Put32(b, static_cast<uint32_t>(text.size()));
  if (text.empty()) return;
  if (text.size() > 0x3FFFFFFF) throw ETransportError(kInvalidDataPacket);
  const int32_t bytes = static_cast<int32_t>(text.size() * 2);
  if (HostIsLittleEndian()) {
    b.AppendBytes(text.data(), bytes);
    return;
  }
  std::u16string swapped = text;
  SwapUnits(&swapped[0], swapped.size());
  b.AppendBytes(swapped.data(), bytes);
}

std::u16string TakeTextPayload(IDataBlock& b) {
  int32_t n = static_cast<int32_t>(Take32(b));
  if (n < 0) throw ETransportError(kInvalidDataPacket);
  Need(b, int64_t(n) * 2);
  std::u16string text(static_cast<size_t>(n), u'\0');
  if (n > 0) {
    b.TakeBytes(&text[0], n * 2);
    if (!HostIsLittleEndian()) SwapUnits(&text[0], text.size());
  }
  return text;
}

void WriteValue(IDataBlock& b, const Variant& v, const ExportFn& exp);

void WriteArray(IDataBlock& b, const Variant& v, const ExportFn& exp) {
  const Variant& holder = (v.IsByRef() && v.ref) ? *v.ref : v;
  const VariantArray* a = holder.array.get();
  if (!a) throw UnsupportedType(v.type);
  uint16_t et = a->element_type;
  if (et == vtUnknown || et > vtUI1) throw UnsupportedType(v.type);
  int64_t count = a->Count();
  if (count < 0) throw ETransportError(kInvalidDataPacket);
  Put32(b, static_cast<uint32_t>(v.type & (vtByRef | vtArray | vtTypeMask)));
  Put32(b, static_cast<uint32_t>(a->low.size()));
  for (int32_t lo : a->low) Put32(b, static_cast<uint32_t>(lo));
  for (int32_t hi : a->high) Put32(b, static_cast<uint32_t>(hi));
  if (IsRawArrayElement(et)) {
    int64_t bytes = count * PayloadSize(et);
    if (static_cast<int64_t>(a->raw.size()) != bytes) throw ETransportError(kInvalidDataPacket);
    Put32(b, static_cast<uint32_t>(bytes));
    if (bytes) b.AppendBytes(a->raw.data(), static_cast<int32_t>(bytes));
    return;
  }
  if (static_cast<int64_t>(a->items.size()) != count) throw ETransportError(kInvalidDataPacket);
  for (const Variant& item : a->items) {
    if (et == vtVariant) {
      WriteValue(b, item, exp);
    } else {
      Variant typed = item;
      if (typed.Base() != et || typed.IsArray() || typed.IsByRef()) {
        typed = Variant::OfType(et);
        typed.raw = item.raw;
        typed.text = item.text;
        typed.dispatch = item.dispatch;
      }
      WriteValue(b, typed, exp);
    }
  }
}

void WriteValue(IDataBlock& b, const Variant& v, const ExportFn& exp) {
  if (v.IsArray()) {
    WriteArray(b, v, exp);
    return;
  }
  uint16_t base = v.Base();
  bool byref = v.IsByRef();
  if (byref && !v.ref) throw UnsupportedType(v.type);
  if ((v.type & ~(vtByRef | vtArray | vtTypeMask)) != 0) throw UnsupportedType(v.type);
  const Variant& src = byref ? *v.ref : v;
  switch (base) {
    case vtEmpty:
    case vtNull:
      Put32(b, v.type);
      return;
    case vtBstr:
      PutText(b, src.text, v.type);
      return;
    case vtDispatch: {
      if (byref || !exp) throw UnsupportedType(v.type);
      int32_t id = exp(v.dispatch);
      Put32(b, v.type);
      Put32(b, static_cast<uint32_t>(id));
      return;
    }
    case vtVariant:
      if (!byref) throw UnsupportedType(v.type);
      Put32(b, vtByRef);
      WriteValue(b, *v.ref, exp);
      return;
    default:
      break;
  }
  int size = PayloadSize(base);
  if (base == vtUnknown || size < 0) throw UnsupportedType(v.type);
  Put32(b, v.type);
  if (size > 0) {
    uint8_t bytes[8];
    std::memcpy(bytes, &src.raw, 8);
    b.AppendBytes(bytes, size);
  }
}

// What one value read may still spend: nesting levels and element records.
struct ReadBudget {
  const ProxyFn& proxy;
  int64_t records = kMaxValueRecords;
};

Variant ReadValue(IDataBlock& b, ReadFlags* flags, ReadBudget& budget, int depth);

void ReadArrayBounds(IDataBlock& b, VariantArray* a) {
  int32_t dims = static_cast<int32_t>(Take32(b));
  if (dims <= 0 || dims > kMaxArrayDimensions) throw ETransportError(kInvalidDataPacket);
  Need(b, int64_t(dims) * 8);
  a->low.resize(static_cast<size_t>(dims));
  a->high.resize(static_cast<size_t>(dims));
  for (auto& lo : a->low) lo = static_cast<int32_t>(Take32(b));
  for (auto& hi : a->high) hi = static_cast<int32_t>(Take32(b));
}

void ReadArrayItems(IDataBlock& b, VariantArray* a, int64_t count, ReadBudget& budget, int depth) {
  // Every element record holds at least its 4-byte type word.
  Need(b, count * 4);
  if (count > budget.records) throw ETransportError(kInvalidDataPacket);
  budget.records -= count;
  a->items.reserve(static_cast<size_t>(count));
  for (int64_t i = 0; i < count; ++i) {
    ReadFlags f;
    Variant item = ReadValue(b, &f, budget, depth + 1);
    if (a->element_type != vtVariant && (item.Base() != a->element_type || item.IsArray()))
      throw ETransportError(kInvalidDataPacket);
    a->items.push_back(std::move(item));
  }
}

Variant ReadArray(IDataBlock& b, uint32_t word, ReadBudget& budget, int depth) {
  uint16_t et = static_cast<uint16_t>(word & vtTypeMask);
  if (et == vtUnknown || et > vtUI1) throw UnsupportedType(word);
  if (depth > kMaxValueDepth) throw ETransportError(kInvalidDataPacket);
  auto a = std::make_shared<VariantArray>();
  a->element_type = et;
  ReadArrayBounds(b, a.get());
  int64_t count = a->Count();
  if (count < 0) throw ETransportError(kInvalidDataPacket);
  if (IsRawArrayElement(et)) {
    int32_t bytes = static_cast<int32_t>(Take32(b));
    if (int64_t(bytes) != count * PayloadSize(et)) throw ETransportError(kInvalidDataPacket);
    Need(b, bytes);
    a->raw.resize(static_cast<size_t>(bytes));
    if (bytes) b.TakeBytes(a->raw.data(), bytes);
  } else {
    ReadArrayItems(b, a.get(), count, budget, depth);
  }
  return Variant::Array(std::move(a));
}

// The type word of a record, after any by-reference variant words before
// it: each one only says that the next record is the value, and counts as
// a level of nesting.
uint32_t TakeTypeWord(IDataBlock& b, ReadFlags* flags, int* depth) {
  uint32_t word = Take32(b);
  while (word == vtByRef) {
    if (++*depth > kMaxValueDepth) throw ETransportError(kInvalidDataPacket);
    flags->came_by_ref = true;
    flags->variant_by_ref = true;
    word = Take32(b);
  }
  if (word > 0xFFFF || (word & ~uint32_t(vtByRef | vtArray | vtTypeMask)) != 0)
    throw UnsupportedType(word);
  if (word & vtByRef) {
    flags->came_by_ref = true;
    word &= ~uint32_t(vtByRef);
  }
  return word;
}

Variant ReadScalar(IDataBlock& b, uint16_t base, uint32_t word) {
  int size = PayloadSize(base);
  if (size < 0) throw UnsupportedType(word);
  Variant v = Variant::OfType(base);
  if (size > 0) {
    uint8_t bytes[8] = {0};
    if (b.TakeBytes(bytes, size) != size) throw ETransportError(kInvalidDataPacket);
    std::memcpy(&v.raw, bytes, 8);
  }
  return v;
}

Variant ReadValue(IDataBlock& b, ReadFlags* flags, ReadBudget& budget, int depth) {
  uint32_t word = TakeTypeWord(b, flags, &depth);
  if (word & vtArray) return ReadArray(b, word, budget, depth);
  uint16_t base = static_cast<uint16_t>(word);
  switch (base) {
    case vtEmpty:
      return Variant();
    case vtNull:
      return Variant::Null();
    case vtBstr:
      return Variant::Str(TakeTextPayload(b));
    case vtDispatch: {
      int32_t id = static_cast<int32_t>(Take32(b));
      if (!budget.proxy) throw UnsupportedType(word);
      return Variant::Dispatch(budget.proxy(id));
    }
    case vtVariant:
    case vtUnknown:
      throw UnsupportedType(word);
    default:
      return ReadScalar(b, base, word);
  }
}

}  // namespace

void WriteI4(IDataBlock& block, int32_t v) {
  Put32(block, vtI4);
  Put32(block, static_cast<uint32_t>(v));
}

void WriteText(IDataBlock& block, const std::u16string& text) { PutText(block, text); }

void WriteBool(IDataBlock& block, bool v) {
  Put32(block, vtBool);
  uint8_t p[2] = {uint8_t(v ? 0xFF : 0), uint8_t(v ? 0xFF : 0)};
  block.AppendBytes(p, 2);
}

void WriteVariant(IDataBlock& block, const Variant& v, const ExportFn& export_object) {
  WriteValue(block, v, export_object);
}

Variant ReadVariant(IDataBlock& block, ReadFlags* flags, const ProxyFn& make_proxy) {
  ReadFlags local;
  ReadBudget budget{make_proxy};
  return ReadValue(block, flags ? flags : &local, budget, 0);
}

int32_t ReadI4(IDataBlock& block) {
  ReadFlags f;
  Variant v = ReadVariant(block, &f, nullptr);
  switch (v.Base()) {
    case vtI4:
    case vtError:
      return v.AsI4();
    case vtI2: {
      int16_t x;
      std::memcpy(&x, &v.raw, 2);
      return x;
    }
    case vtUI1:
      return static_cast<int32_t>(v.raw & 0xFF);
    default:
      throw ETransportError(kInvalidDataPacket);
  }
}

std::u16string ReadText(IDataBlock& block, const ProxyFn& make_proxy) {
  ReadFlags f;
  Variant v = ReadVariant(block, &f, make_proxy);
  return VariantToWide(v);
}

}  // namespace corvane::transport
