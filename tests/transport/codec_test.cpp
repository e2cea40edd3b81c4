// Blocks and value records, byte for byte.
#include <gtest/gtest.h>
#include <cstdint>

#include "transport/byte_order.h"
#include "transport/data_block.h"
#include "transport/errors.h"
#include "transport/value_codec.h"

namespace corvane::transport {
namespace {

using Bytes = std::vector<uint8_t>;

// Low byte first on every host; the top bit survives both ways.
TEST(ByteOrder, LittleEndianWordsBothWays) {
  uint8_t p[4];
  for (uint32_t v : {0u, 1u, 0x01020304u, 0x80000000u, 0xFFFFFFFFu}) {
    StoreLE32(p, v);
    EXPECT_EQ(Bytes({uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}),
              Bytes(p, p + 4));
    EXPECT_EQ(v, LoadLE32(p));
  }
  const uint8_t wire[4] = {0x04, 0x03, 0x02, 0x81};
  EXPECT_EQ(0x81020304u, LoadLE32(wire));
}
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes r;
  for (const Bytes& p : parts) r.insert(r.end(), p.begin(), p.end());
  return r;
}

Bytes Raw(IDataBlock& b) {
  const uint8_t* p = b.RawMemory();
  return Bytes(p, p + b.DataSize() + 8);
}

Bytes Body(const Variant& v) {
  TDataBlock b;
  WriteVariant(b, v, [](const std::shared_ptr<IDispatchObject>&) { return 5; });
  Bytes r = Raw(b);
  return Bytes(r.begin() + 8, r.end());
}

DataBlockPtr BlockOf(const Bytes& body) {
  auto b = NewDataBlock();
  b->AppendBytes(body.data(), static_cast<int32_t>(body.size()));
  return b;
}

Variant Decode(const Bytes& body, ReadFlags* flags = nullptr) {
  auto b = BlockOf(body);
  return ReadVariant(*b, flags, nullptr);
}

std::string ErrorOf(const Bytes& body) {
  try {
    Decode(body);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

TEST(DataBlock, EmptyBlockIsEightBytes) {
  TDataBlock b;
  b.SetSignatureWord(0xDA05);
  EXPECT_EQ(Raw(b), (Bytes{0x05, 0xDA, 0, 0, 0, 0, 0, 0}));
}

TEST(DataBlock, SignatureTests) {
  EXPECT_TRUE(IsWellFormed(0xDB02));
  EXPECT_TRUE(IsReply(0xDB02));
  EXPECT_TRUE(IsWellFormed(0xDA02));
  EXPECT_FALSE(IsReply(0xDA02));
  EXPECT_FALSE(IsWellFormed(0x1202));
  EXPECT_EQ(ActionOf(0xDB12), 0x12u);
}

TEST(DataBlock, LoadFromBuffer) {
  TDataBlock b;
  Bytes seven(7, 0xDA);
  EXPECT_THROW(b.LoadFromBuffer(seven.data(), 7, false), ETransportError);
  Bytes block = {0x02, 0xDA, 0, 0, 3, 0, 0, 0, 1, 2};  // says 3, holds 2
  EXPECT_THROW(b.LoadFromBuffer(block.data(), block.size(), true), ETransportError);
  EXPECT_EQ(b.LoadFromBuffer(block.data(), block.size(), false), 3);
  EXPECT_EQ(b.DataSize(), 2);
  Bytes bad = {0x02, 0x12, 0, 0, 0, 0, 0, 0};
  EXPECT_THROW(b.LoadFromBuffer(bad.data(), bad.size(), false), ETransportError);
}

TEST(DataBlock, ResetKeepsSignatureAndTakeStopsAtEnd) {
  TDataBlock b;
  b.SetSignatureWord(0xDA02);
  uint8_t x[3] = {1, 2, 3};
  b.AppendBytes(x, 3);
  uint8_t y[8] = {0};
  EXPECT_EQ(b.TakeBytes(y, 8), 3);
  b.Reset();
  EXPECT_EQ(b.DataSize(), 0);
  EXPECT_EQ(b.GetSignatureWord(), 0xDA02u);
}

TEST(ValueRecords, ScalarsStringsBooleans) {
  EXPECT_EQ(Body(Variant::Str(u"")), (Bytes{8, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Body(Variant::Bool(true)), (Bytes{11, 0, 0, 0, 0xFF, 0xFF}));
  EXPECT_EQ(Body(Variant::Bool(false)), (Bytes{11, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Body(Variant::I4(-2)), (Bytes{3, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Body(Variant::Null()), (Bytes{1, 0, 0, 0}));
  EXPECT_EQ(Body(Variant::Dispatch(nullptr)), (Bytes{9, 0, 0, 0, 5, 0, 0, 0}));
  Variant u8 = Variant::OfType(vtUI1);
  u8.raw = 0x7F;
  EXPECT_EQ(Body(u8), (Bytes{17, 0, 0, 0, 0x7F}));
  EXPECT_EQ(Body(Variant::OfType(vtI1)), (Bytes{16, 0, 0, 0}));  // not transmitted
}

TEST(ValueRecords, ByReference) {
  Variant target = Variant::I4(0x01020304);
  EXPECT_EQ(Body(Variant::ByRef(vtI4, &target)), (Bytes{0x03, 0x40, 0, 0, 4, 3, 2, 1}));
  ReadFlags f;
  Variant v = Decode({0x03, 0x40, 0, 0, 4, 3, 2, 1}, &f);
  EXPECT_EQ(v.type, vtI4);
  EXPECT_EQ(v.AsI4(), 0x01020304);
  EXPECT_TRUE(f.came_by_ref);
  EXPECT_FALSE(f.variant_by_ref);

  Variant text = Variant::Str(u"ab");
  EXPECT_EQ(Body(Variant::ByRef(vtVariant, &text)),
            (Bytes{0, 0x40, 0, 0, 8, 0, 0, 0, 2, 0, 0, 0, 'a', 0, 'b', 0}));
  ReadFlags g;
  Variant back = Decode(Body(Variant::ByRef(vtVariant, &text)), &g);
  EXPECT_TRUE(g.variant_by_ref);
  EXPECT_EQ(back.text, u"ab");
}

TEST(ValueRecords, Arrays) {
  auto a = std::make_shared<VariantArray>();
  a->element_type = vtI4;
  a->low = {0};
  a->high = {2};
  a->raw = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};
  Bytes expect = {0x03, 0x20, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 12, 0, 0, 0};
  expect.insert(expect.end(), a->raw.begin(), a->raw.end());
  EXPECT_EQ(Body(Variant::Array(a)), expect);
  Variant back = Decode(expect);
  ASSERT_TRUE(back.IsArray());
  EXPECT_EQ(back.array->raw, a->raw);

  auto s = std::make_shared<VariantArray>();
  s->element_type = vtBstr;
  s->low = {0};
  s->high = {1};
  s->items = {Variant::Str(u"x"), Variant::Str(u"")};
  Bytes sx = {0x08, 0x20, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,
              8, 0, 0, 0, 1, 0, 0, 0, 'x', 0, 8, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Body(Variant::Array(s)), sx);
  Variant sb = Decode(sx);
  ASSERT_EQ(sb.array->items.size(), 2u);
  EXPECT_EQ(sb.array->items[0].text, u"x");

  // Two dimensions of variants, odometer order kept.
  auto m = std::make_shared<VariantArray>();
  m->element_type = vtVariant;
  m->low = {1, 0};
  m->high = {2, 1};
  for (int i = 0; i < 4; ++i) m->items.push_back(Variant::I4(i));
  Variant mb = Decode(Body(Variant::Array(m)));
  ASSERT_EQ(mb.array->items.size(), 4u);
  EXPECT_EQ(mb.array->items[3].AsI4(), 3);
  EXPECT_EQ(mb.array->low, m->low);
}

TEST(ValueRecords, TypesThatCannotBeEncoded) {
  auto message = [](const Variant& v) {
    try {
      Body(v);
    } catch (const EInterpreterError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_EQ(message(Variant::OfType(vtUnknown)), "Unsupported variant type: 000D");
  Variant d = Variant::Dispatch(nullptr);
  EXPECT_EQ(message(Variant::ByRef(vtDispatch, &d)), "Unsupported variant type: 4009");
  EXPECT_EQ(message(Variant::OfType(vtVariant)), "Unsupported variant type: 000C");
}

TEST(ValueRecords, HostileInputEndsInAnError) {
  // Unknown types above 17 are refused, never sized from elsewhere.
  EXPECT_EQ(ErrorOf({0x13, 0, 0, 0, 1, 2, 3, 4}), "Unsupported variant type: 0013");
  EXPECT_EQ(ErrorOf({0x14, 0x40, 0, 0}), "Unsupported variant type: 0014");  // by-reference bit taken off
  EXPECT_EQ(ErrorOf({13, 0, 0, 0}), "Unsupported variant type: 000D");
  // A string longer than the block.
  EXPECT_EQ(ErrorOf({8, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}), "Invalid data packet");
  EXPECT_EQ(ErrorOf({8, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}), "Invalid data packet");
  // Truncated records.
  EXPECT_EQ(ErrorOf({3, 0, 0, 0, 1}), "Invalid data packet");
  EXPECT_EQ(ErrorOf({3, 0}), "Invalid data packet");
  // Huge dimension counts, bounds and byte counts.
  EXPECT_EQ(ErrorOf(Cat({{0x03, 0x20, 0, 0}, {0xFF, 0xFF, 0xFF, 0x7F}})), "Invalid data packet");
  Bytes bounds = {0x0C, 0x20, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F};
  EXPECT_EQ(ErrorOf(bounds), "Invalid data packet");
  Bytes bytes = {0x03, 0x20, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F};
  EXPECT_EQ(ErrorOf(bytes), "Invalid data packet");
}

Bytes Repeat(const Bytes& part, int64_t times) {
  Bytes r;
  r.reserve(static_cast<size_t>(part.size() * times));
  for (int64_t i = 0; i < times; ++i) r.insert(r.end(), part.begin(), part.end());
  return r;
}

Bytes Word(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

// An array record's head: type word, one or two dimensions and their bounds.
Bytes ArrayHead(uint32_t type, std::vector<std::pair<int32_t, int32_t>> bounds) {
  Bytes r = Cat({Word(type), Word(static_cast<uint32_t>(bounds.size()))});
  for (const auto& b : bounds) r = Cat({r, Word(static_cast<uint32_t>(b.first))});
  for (const auto& b : bounds) r = Cat({r, Word(static_cast<uint32_t>(b.second))});
  return r;
}

// What a hostile peer may put in a value: deep nesting and absurd array
// bounds end in "Invalid data packet" after work bounded by the block's
// bytes, without a deep stack or an allocation the block does not pay for;
// the values just inside the limits still decode.
TEST(ValueRecords, NestingAndArrayBoundsAtTheLimits) {
  const Bytes link = {0, 0x40, 0, 0};
  const Bytes text = {8, 0, 0, 0, 1, 0, 0, 0, 'a', 0};
  const Bytes nest_one = ArrayHead(0x200C, {{0, 0}});
  const Bytes empty = {0, 0, 0, 0};
  struct Case {
    const char* what;
    Bytes body;
    bool decodes;
  } cases[] = {
      {"16 by-reference links", Cat({Repeat(link, kMaxValueDepth), text}), true},
      {"17 by-reference links", Cat({Repeat(link, kMaxValueDepth + 1), text}), false},
      {"a million links", Cat({Repeat(link, 1000000), text}), false},
      {"links without an end", Repeat(link, 100000), false},
      {"links inside nested arrays",
       Cat({Repeat(nest_one, 8), Repeat(link, kMaxValueDepth - 7), text}), false},
      {"17 nested arrays, levels 0 to 16", Cat({Repeat(nest_one, kMaxValueDepth + 1), empty}), true},
      {"1000 nested arrays", Cat({Repeat(nest_one, 1000), empty}), false},
      {"2^31 integers, byte count wrapped to 0", Cat({ArrayHead(0x2003, {{0, 0x7FFFFFFF}}), Word(0)}), false},
      {"2^30 integers, byte count wrapped to 0", Cat({ArrayHead(0x2003, {{1, 0x40000000}}), Word(0)}), false},
      {"2^32 variants in two dimensions", ArrayHead(0x200C, {{0, 0xFFFF}, {0, 0xFFFF}}), false},
      {"bounds from -2^31 to 2^31-1", ArrayHead(0x2008, {{INT32_MIN, INT32_MAX}}), false},
      {"high bound below the low bound", Cat({ArrayHead(0x2003, {{5, 3}}), Word(0)}), false},
      {"negative dimension count", Cat({Word(0x2003), Word(0xFFFFFFFF), Word(0), Word(0)}), false},
      {"no elements", Cat({ArrayHead(0x200C, {{1, 0}})}), true},
      {"65536 element records", Cat({ArrayHead(0x200C, {{1, kMaxValueRecords}}),
                                     Repeat(empty, kMaxValueRecords)}), true},
      {"65537 element records", Cat({ArrayHead(0x200C, {{0, kMaxValueRecords}}),
                                     Repeat(empty, kMaxValueRecords + 1)}), false},
      {"65537 records over two levels",
       Cat({ArrayHead(0x200C, {{0, 1}}), ArrayHead(0x200C, {{1, kMaxValueRecords - 1}}),
            Repeat(empty, kMaxValueRecords - 1), ArrayHead(0x200C, {{0, 0}}), empty}), false},
      {"8 million empty elements",
       Cat({ArrayHead(0x200C, {{1, 8 << 20}}), Repeat(empty, 8 << 20)}), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorOf(c.body), c.decodes ? "" : "Invalid data packet") << c.what;
  }
}

}  // namespace
}  // namespace corvane::transport
