// Blocks and value records, byte for byte.
#include <gtest/gtest.h>
#include <cstdint>

#include "transport/byte_order.h"
#include "transport/data_block.h"
#include "transport/errors.h"
#include "transport/value_codec.h"
#include "wire_bytes.h"

namespace corvane::transport {
namespace {

using namespace testing;  // the wire bytes of wire_bytes.h

// Low byte first on every host; the top bit survives both ways.
TEST(ByteOrder, LittleEndianWordsBothWays) {
  uint8_t p[4];
  for (uint32_t v : {0u, 1u, 0x01020304u, 0x80000000u, 0xFFFFFFFFu}) {
    StoreLE32(p, v);
    EXPECT_EQ(Le32(v), Bytes(p, p + 4));
    EXPECT_EQ(v, LoadLE32(p));
  }
  const uint8_t wire[4] = {0x04, 0x03, 0x02, 0x81};
  EXPECT_EQ(0x81020304u, LoadLE32(wire));
}

Bytes Body(const Variant& v) {
  TDataBlock b;
  WriteVariant(b, v, [](const std::shared_ptr<IDispatchObject>&) { return 5; });
  Bytes r = testing::Raw(b);
  return Bytes(r.begin() + 8, r.end());
}

Variant Decode(const Bytes& body, ReadFlags* flags = nullptr) {
  auto b = NewDataBlock();
  b->AppendBytes(body.data(), static_cast<int32_t>(body.size()));
  return ReadVariant(*b, flags, nullptr);
}

// The text of what decoding (or encoding) raised; "" when it did not.
template <class Call>
std::string ErrorOf(Call call) {
  try {
    call();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}
std::string DecodeError(const Bytes& body) { return ErrorOf([&] { Decode(body); }); }

TEST(DataBlock, HeaderSignatureAndReset) {
  TDataBlock b;
  b.SetSignatureWord(0xDA05);
  EXPECT_EQ(testing::Raw(b), Block(0xDA05, {}));
  EXPECT_TRUE(IsWellFormed(0xDB02) && IsReply(0xDB02) && IsWellFormed(0xDA02));
  EXPECT_FALSE(IsReply(0xDA02) || IsWellFormed(0x1202));
  EXPECT_EQ(ActionOf(0xDB12), 0x12u);
  uint8_t x[3] = {1, 2, 3}, y[8] = {0};
  b.AppendBytes(x, 3);
  EXPECT_EQ(b.TakeBytes(y, 8), 3);
  b.Reset();
  EXPECT_EQ(testing::Raw(b), Block(0xDA05, {}));
}

TEST(DataBlock, LoadFromBufferChecksHeaderAndSize) {
  TDataBlock b;
  const Bytes short_block = {0x02, 0xDA, 0, 0, 3, 0, 0, 0, 1, 2};  // says 3, holds 2
  EXPECT_EQ(b.LoadFromBuffer(short_block.data(), short_block.size(), false), 3);
  EXPECT_EQ(b.DataSize(), 2);
  EXPECT_THROW(b.LoadFromBuffer(short_block.data(), 7, false), ETransportError);
  const Bytes long_block = {0x02, 0xDA, 0, 0, 2, 0, 0, 0, 1, 2, 3};  // says 2, holds 3
  for (const Bytes& bad : {short_block, long_block, Block(0x1202, {})})
    EXPECT_THROW(b.LoadFromBuffer(bad.data(), bad.size(), true), ETransportError);
}

TEST(ValueRecords, ScalarsTextsAndBooleansBothWays) {
  Variant u8 = Variant::OfType(vtUI1);
  u8.raw = 0x7F;
  const struct {
    Variant value;
    Bytes record;
  } cases[] = {
      {Variant::Str(u""), TextRec(u"")},
      {Variant::Str(u"甲a"), TextRec(u"甲a")},
      {Variant::Bool(true), BoolRec(true)},
      {Variant::Bool(false), BoolRec(false)},
      {Variant::I4(-2), I4Rec(-2)},
      {Variant::Null(), Le32(1)},
      {Variant(), Le32(0)},
      {u8, {17, 0, 0, 0, 0x7F}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Body(c.value), c.record) << c.value.type;
    Variant back = Decode(c.record);
    EXPECT_EQ(back.type, c.value.type);
    EXPECT_EQ(back.text, c.value.text);
    EXPECT_EQ(Body(back), c.record);
  }
  EXPECT_EQ(Body(Variant::Dispatch(nullptr)), (Bytes{9, 0, 0, 0, 5, 0, 0, 0}));
  EXPECT_EQ(Body(Variant::OfType(vtI1)), Le32(16));  // no payload transmitted
}

TEST(ValueRecords, ByReference) {
  Variant target = Variant::I4(0x01020304);
  EXPECT_EQ(Body(Variant::ByRef(vtI4, &target)), I4Rec(0x01020304, 0x4003));
  ReadFlags f;
  Variant v = Decode(I4Rec(0x01020304, 0x4003), &f);
  EXPECT_EQ(v.type, vtI4);
  EXPECT_EQ(v.AsI4(), 0x01020304);
  EXPECT_TRUE(f.came_by_ref);
  EXPECT_FALSE(f.variant_by_ref);

  Variant text = Variant::Str(u"ab");
  const Bytes variant_ref = Cat({Le32(0x4000), TextRec(u"ab")});
  EXPECT_EQ(Body(Variant::ByRef(vtVariant, &text)), variant_ref);
  ReadFlags g;
  EXPECT_EQ(Decode(variant_ref, &g).text, u"ab");
  EXPECT_TRUE(g.came_by_ref && g.variant_by_ref);
}

TEST(ValueRecords, ArraysOfRawElementsTextsAndVariants) {
  auto a = std::make_shared<VariantArray>();
  a->element_type = vtI4;
  a->low = {0};
  a->high = {2};
  a->raw = Cat({Le32(1), Le32(2), Le32(3)});
  const Bytes ints = Cat({Le32(0x2003), Le32(1), Le32(0), Le32(2), Le32(12), a->raw});
  EXPECT_EQ(Body(Variant::Array(a)), ints);
  Variant back = Decode(ints);
  ASSERT_TRUE(back.IsArray());
  EXPECT_EQ(back.array->raw, a->raw);

  auto s = std::make_shared<VariantArray>();
  s->element_type = vtBstr;
  s->low = {0};
  s->high = {1};
  s->items = {Variant::Str(u"x"), Variant::Str(u"")};
  const Bytes texts = Cat({Le32(0x2008), Le32(1), Le32(0), Le32(1), TextRec(u"x"), TextRec(u"")});
  EXPECT_EQ(Body(Variant::Array(s)), texts);
  Variant sb = Decode(texts);
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
  auto encode_error = [](const Variant& v) { return ErrorOf([&] { Body(v); }); };
  EXPECT_EQ(encode_error(Variant::OfType(vtUnknown)), "Unsupported variant type: 000D");
  Variant d = Variant::Dispatch(nullptr);
  EXPECT_EQ(encode_error(Variant::ByRef(vtDispatch, &d)), "Unsupported variant type: 4009");
  EXPECT_EQ(encode_error(Variant::OfType(vtVariant)), "Unsupported variant type: 000C");
}

// An array record's head: type word, dimensions and their bounds.
Bytes ArrayHead(uint32_t type, std::vector<std::pair<int32_t, int32_t>> bounds) {
  Bytes r = Cat({Le32(type), Le32(static_cast<uint32_t>(bounds.size()))});
  for (const auto& b : bounds) r = Cat({r, Le32(static_cast<uint32_t>(b.first))});
  for (const auto& b : bounds) r = Cat({r, Le32(static_cast<uint32_t>(b.second))});
  return r;
}

TEST(ValueRecords, MalformedRecordsEndInAnError) {
  const struct {
    Bytes body;
    const char* error;
  } cases[] = {
      // Unknown types above 17 are refused, never sized from elsewhere.
      {{0x13, 0, 0, 0, 1, 2, 3, 4}, "Unsupported variant type: 0013"},
      {{0x14, 0x40, 0, 0}, "Unsupported variant type: 0014"},  // by-reference bit taken off
      {{13, 0, 0, 0}, "Unsupported variant type: 000D"},
      {{8, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}, "Invalid data packet"},  // text beyond the block
      {{8, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, "Invalid data packet"},
      {{3, 0, 0, 0, 1}, "Invalid data packet"},  // truncated records
      {{3, 0}, "Invalid data packet"},
      {ArrayHead(0x2003, {}), "Invalid data packet"},  // no dimension
      {Cat({Le32(0x2003), Le32(0x7FFFFFFF)}), "Invalid data packet"},
      {ArrayHead(0x2003, std::vector<std::pair<int32_t, int32_t>>(65, {0, 0})), "Invalid data packet"},
      {Cat({Le32(0x200C), Le32(1), Le32(0), Le32(0x7FFFFFFF)}), "Invalid data packet"},
      {Cat({ArrayHead(0x2003, {{0, 1}}), Le32(0x7FFFFFFF)}), "Invalid data packet"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeError(c.body), c.error) << ::testing::PrintToString(c.body);
}

// `times` copies of `part`, built by doubling.
Bytes Repeat(const Bytes& part, int64_t times) {
  const size_t total = static_cast<size_t>(part.size() * times);
  Bytes r = times > 0 ? part : Bytes();
  r.reserve(total);
  while (r.size() < total) r.insert(r.end(), r.begin(), r.begin() + std::min(r.size(), total - r.size()));
  return r;
}

// What a hostile peer may put in a value: deep nesting and absurd array
// bounds end in "Invalid data packet" after work bounded by the block's
// bytes, without a deep stack or an allocation the block does not pay for;
// the values just inside the limits still decode.
TEST(ValueRecords, NestingAndArrayBoundsAtTheLimits) {
  const Bytes link = Le32(0x4000);
  const Bytes text = TextRec(u"a");
  const Bytes nest_one = ArrayHead(0x200C, {{0, 0}});
  const Bytes empty = Le32(0);
  const struct {
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
      {"18 nested arrays", Cat({Repeat(nest_one, kMaxValueDepth + 2), empty}), false},
      {"1000 nested arrays", Cat({Repeat(nest_one, 1000), empty}), false},
      {"2^31 integers, byte count wrapped to 0", Cat({ArrayHead(0x2003, {{0, 0x7FFFFFFF}}), Le32(0)}), false},
      {"2^30 integers, byte count wrapped to 0", Cat({ArrayHead(0x2003, {{1, 0x40000000}}), Le32(0)}), false},
      {"2^32 variants in two dimensions", ArrayHead(0x200C, {{0, 0xFFFF}, {0, 0xFFFF}}), false},
      {"bounds from -2^31 to 2^31-1", ArrayHead(0x2008, {{INT32_MIN, INT32_MAX}}), false},
      {"high bound below the low bound", Cat({ArrayHead(0x2003, {{5, 3}}), Le32(0)}), false},
      {"negative dimension count", Cat({Le32(0x2003), Le32(0xFFFFFFFF), Le32(0), Le32(0)}), false},
      {"no elements", ArrayHead(0x200C, {{1, 0}}), true},
      {"65536 element records",
       Cat({ArrayHead(0x200C, {{1, kMaxValueRecords}}), Repeat(empty, kMaxValueRecords)}), true},
      {"65537 element records",
       Cat({ArrayHead(0x200C, {{0, kMaxValueRecords}}), Repeat(empty, kMaxValueRecords + 1)}), false},
      {"65537 records over two levels",
       Cat({ArrayHead(0x200C, {{0, 1}}), ArrayHead(0x200C, {{1, kMaxValueRecords - 1}}),
            Repeat(empty, kMaxValueRecords - 1), ArrayHead(0x200C, {{0, 0}}), empty}), false},
      {"8 million empty elements", Cat({ArrayHead(0x200C, {{1, 8 << 20}}), Repeat(empty, 8 << 20)}), false},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeError(c.body), c.decodes ? "" : "Invalid data packet") << c.what;
}

}  // namespace
}  // namespace corvane::transport
