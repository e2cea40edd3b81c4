// The portable value type that travels in value records, and the dispatch
// interface that local objects and remote proxies implement.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace corvane::transport {

enum VarType : uint16_t {
  vtEmpty = 0,
  vtNull = 1,
  vtI2 = 2,
  vtI4 = 3,
  vtR4 = 4,
  vtR8 = 5,
  vtCy = 6,
  vtDate = 7,
  vtBstr = 8,
  vtDispatch = 9,
  vtError = 10,
  vtBool = 11,
  vtVariant = 12,
  vtUnknown = 13,
  vtDecimal = 14,
  vtI1 = 16,
  vtUI1 = 17,
  vtTypeMask = 0x0FFF,
  vtArray = 0x2000,
  vtByRef = 0x4000,
};

// Result codes of the dispatch interface.
constexpr int32_t kS_OK = 0;
constexpr int32_t kE_NOTIMPL = static_cast<int32_t>(0x80004001u);
constexpr int32_t kDISP_E_UNKNOWNNAME = static_cast<int32_t>(0x80020006u);
constexpr int32_t kDISP_E_EXCEPTION = static_cast<int32_t>(0x80020009u);
constexpr int32_t kDISP_E_MEMBERNOTFOUND = static_cast<int32_t>(0x80020003u);
constexpr uint16_t kDispatchMethod = 1;
constexpr uint16_t kDispatchPropertyGet = 2;

// Payload bytes of base types 0..17; 8, 9 and 12 have rules of their own.
int PayloadSize(uint16_t base_type);
// Element types whose array elements travel as raw storage.
bool IsRawArrayElement(uint16_t base_type);

class IDispatchObject;
struct VariantArray;

class Variant {
 public:
  Variant() = default;
  static Variant Empty() { return Variant(); }
  static Variant Null() { return OfType(vtNull); }
  static Variant I4(int32_t v) { return Scalar(vtI4, &v, 4); }
  static Variant Bool(bool v) {
    int16_t b = v ? -1 : 0;
    return Scalar(vtBool, &b, 2);
  }
  static Variant Str(std::u16string text) {
    Variant r = OfType(vtBstr);
    r.text = std::move(text);
    return r;
  }
  static Variant Dispatch(std::shared_ptr<IDispatchObject> object) {
    Variant r = OfType(vtDispatch);
    r.dispatch = std::move(object);
    return r;
  }
  static Variant Array(std::shared_ptr<VariantArray> a);
  // A by-reference value of base type `base` (or vtVariant) referring to
  // target, which the caller keeps alive.
  static Variant ByRef(uint16_t base, Variant* target) {
    Variant r = OfType(static_cast<uint16_t>(base | vtByRef));
    r.ref = target;
    return r;
  }
  static Variant OfType(uint16_t t) {
    Variant r;
    r.type = t;
    return r;
  }
  static Variant Scalar(uint16_t t, const void* bytes, int size) {
    Variant r = OfType(t);
    std::memcpy(&r.raw, bytes, static_cast<size_t>(size));
    return r;
  }

  uint16_t Base() const { return type & vtTypeMask; }
  bool IsByRef() const { return (type & vtByRef) != 0; }
  bool IsArray() const { return (type & vtArray) != 0; }
  bool IsEmpty() const { return type == vtEmpty; }
  bool IsNull() const { return type == vtNull; }
  int32_t AsI4() const {
    int32_t v;
    std::memcpy(&v, &raw, 4);
    return v;
  }

  uint16_t type = vtEmpty;  // the full type word
  uint64_t raw = 0;         // scalar payload, little-endian
  std::u16string text;      // vtBstr
  std::shared_ptr<IDispatchObject> dispatch;  // vtDispatch
  std::shared_ptr<VariantArray> array;        // with vtArray
  Variant* ref = nullptr;   // with vtByRef: the referenced value (not owned)
};

// An array of any dimension.  Elements are kept in the order of the wire:
// an index vector that starts at the low bounds and counts like an
// odometer, the last dimension fastest.
struct VariantArray {
  uint16_t element_type = vtEmpty;
  std::vector<int32_t> low, high;
  std::vector<uint8_t> raw;     // raw element storage (IsRawArrayElement)
  std::vector<Variant> items;   // other element types
  // Number of elements, or -1 when the bounds are invalid or too large.
  int64_t Count() const;
};

struct ExcepInfo {
  int32_t code = 0;
  std::u16string source, description, help_file;
  int32_t help_context = 0;
};

// Late-bound automation object: a local object or a proxy for a remote one.
class IDispatchObject {
 public:
  virtual ~IDispatchObject() = default;
  virtual int32_t GetIdsOfNames(const std::vector<std::u16string>& names,
                                std::vector<int32_t>* ids) = 0;
  // args in argument-array order: index 0 is the last argument.
  virtual int32_t Invoke(int32_t dispid, uint16_t flags, std::vector<Variant>& args,
                         const std::vector<int32_t>& named_ids, Variant* result,
                         ExcepInfo* excep) = 0;
};

// The text form of a value (a by-reference value gives the text of what
// it refers to).  Throws ETransportError for objects and arrays.
std::u16string VariantToWide(const Variant& v);

}  // namespace corvane::transport
