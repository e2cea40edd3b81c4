#include "transport/variant.h"

#include <cinttypes>
#include <cstdio>

#include "transport/errors.h"

namespace corvane::transport {

int PayloadSize(uint16_t base_type) {
  static const int kSizes[18] = {0, 0, 2, 4, 4, 8, 8, 8, 0, 0, 4, 2, 0, 0, 0, 0, 0, 1};
  return base_type < 18 ? kSizes[base_type] : -1;
}

bool IsRawArrayElement(uint16_t t) {
  switch (t) {
    case vtI2: case vtI4: case vtR4: case vtR8: case vtCy: case vtDate: case vtBool: case vtUI1:
      return true;
    default:
      return false;
  }
}

Variant Variant::Array(std::shared_ptr<VariantArray> a) {
  Variant r = OfType(static_cast<uint16_t>(a->element_type | vtArray));
  r.array = std::move(a);
  return r;
}

int64_t VariantArray::Count() const {
  if (low.size() != high.size() || low.empty()) return -1;
  int64_t n = 1;
  for (size_t i = 0; i < low.size(); ++i) {
    int64_t d = int64_t(high[i]) - int64_t(low[i]) + 1;
    if (d < 0) return -1;
    if (d != 0 && n > (int64_t(1) << 40) / d) return -1;
    n *= d;
  }
  return n;
}

namespace {

std::u16string Ascii(const char* s) {
  std::u16string r;
  while (*s) r.push_back(static_cast<char16_t>(static_cast<unsigned char>(*s++)));
  return r;
}

std::u16string Number(double d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", d);
  return Ascii(buf);
}

}  // namespace

std::u16string VariantToWide(const Variant& v) {
  if (v.IsByRef() && v.ref) {
    if (v.Base() == vtVariant) return VariantToWide(*v.ref);
    Variant plain = *v.ref;
    plain.type = v.Base();
    return VariantToWide(plain);
  }
  if (v.IsArray()) throw ETransportError("Could not convert variant of type (Array) into type (String)");
  char buf[64];
  switch (v.Base()) {
    case vtEmpty:
    case vtNull:
      return u"";
    case vtBstr:
      return v.text;
    case vtI2: {
      int16_t x;
      std::memcpy(&x, &v.raw, 2);
      return Ascii(std::to_string(x).c_str());
    }
    case vtI4:
    case vtError:
      return Ascii(std::to_string(v.AsI4()).c_str());
    case vtI1:
      return Ascii(std::to_string(static_cast<int8_t>(v.raw & 0xFF)).c_str());
    case vtUI1:
      return Ascii(std::to_string(static_cast<unsigned>(v.raw & 0xFF)).c_str());
    case vtR4: {
      float f;
      std::memcpy(&f, &v.raw, 4);
      std::snprintf(buf, sizeof buf, "%.7g", f);
      return Ascii(buf);
    }
    case vtR8:
    case vtDate: {
      double d;
      std::memcpy(&d, &v.raw, 8);
      return Number(d);
    }
    case vtCy: {
      int64_t c;
      std::memcpy(&c, &v.raw, 8);
      return Number(static_cast<double>(c) / 10000.0);
    }
    case vtBool:
      return (v.raw & 0xFFFF) ? u"True" : u"False";
    default:
      throw ETransportError("Could not convert variant into type (String)");
  }
}

}  // namespace corvane::transport
