#include "sim_record_layout.h"

#include <cstdint>
#include <cstring>

namespace iccsim {
namespace {

enum class Kind { kInteger, kText, kBytes };

struct Field {
  size_t offset;
  Kind kind;
};

constexpr bool k32Bit = sizeof(void*) == 4;
constexpr size_t kReservedBytes = 28;
// The 64-bit layout keeps the field order with natural alignment.
constexpr Field kFields[] = {
    {0, Kind::kInteger},  {4, Kind::kInteger},  {8, Kind::kInteger},
    {12, Kind::kInteger}, {16, Kind::kInteger}, {20, Kind::kInteger},
    {24, Kind::kText},    {k32Bit ? 28u : 32u, Kind::kText},
    {k32Bit ? 32u : 40u, Kind::kText},          {k32Bit ? 36u : 48u, Kind::kInteger},
    {k32Bit ? 40u : 56u, Kind::kText},          {k32Bit ? 44u : 64u, Kind::kInteger},
    {k32Bit ? 48u : 68u, Kind::kBytes}};
constexpr size_t kSize = k32Bit ? 76 : 96;

std::string FieldText(const unsigned char* p, const Field& f) {
  if (f.kind == Kind::kInteger) {
    int32_t value;
    std::memcpy(&value, p + f.offset, sizeof value);
    return std::to_string(value);
  }
  if (f.kind == Kind::kText) {
    const char* text;
    std::memcpy(&text, p + f.offset, sizeof text);
    return text ? "'" + std::string(text, strnlen(text, 500)) + "'" : "(null)";
  }
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < kReservedBytes; ++i) {
    hex += kHex[p[f.offset + i] >> 4];
    hex += kHex[p[f.offset + i] & 15];
  }
  return hex;
}

}  // namespace

std::string RecordLayout(const void* record) {
  const auto* p = static_cast<const unsigned char*>(record);
  std::string text;
  for (const Field& f : kFields) text += std::to_string(f.offset) + ":" + FieldText(p, f) + " ";
  return text + "size:" + std::to_string(kSize);
}

}  // namespace iccsim
