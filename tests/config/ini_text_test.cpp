// The ini codec: lookups, values, names and writes that keep the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ini_text.h"

namespace corvane {
namespace {

std::string Read(const std::string& text, const std::string& section, const std::string& key,
                 const std::string& def = "<default>") {
  std::string v;
  return IniFindValue(text, section, key, &v) ? v : def;
}

std::string Write(const std::string& text, const std::string& section, const std::string& key,
                  const std::string& value) {
  std::string out;
  EXPECT_TRUE(IniApplyWrites(text, {IniEntry{section, key, value}}, &out));
  return out;
}

TEST(IniLookup, NamesMatchRegardlessOfCaseButGbkTrailBytesAreExact) {
  const std::string text = "[HardWare]\r\nCOM=7\r\n[系统]\r\n键=甲\r\n";
  EXPECT_EQ(Read(text, "hardware", "com"), "7");
  EXPECT_EQ(Read(text, "系统", "键"), "甲");
  // "系" is C3 B5 in GBK; a case-folded trail byte must not match another
  // character whose trail byte differs only in letter case.
  std::string lower_trail = "\xC3\x75";  // trail 'u' vs 'U' (0x55)
  std::string upper_trail = "\xC3\x55";
  std::string t = "[" + lower_trail + "]\r\nk=1\r\n";
  EXPECT_EQ(Read(t, upper_trail, "k"), "<default>");
  EXPECT_EQ(Read(t, lower_trail, "K"), "1");
}

TEST(IniLookup, MissingKeyGivesDefaultEmptyValueGivesEmpty) {
  const std::string text = "[S]\r\nEmpty=\r\nBare\r\n";
  EXPECT_EQ(Read(text, "S", "Missing"), "<default>");
  EXPECT_EQ(Read(text, "S", "Empty"), "");
  EXPECT_EQ(Read(text, "S", "Bare"), "<default>");
  EXPECT_EQ(Read(text, "Other", "Empty"), "<default>");
}

TEST(IniLookup, ValuesLoseBlanksAndOnePairOfMatchingQuotes) {
  const std::string text =
      "[S]\r\n a = \t x y \t\r\nq=\" padded \"\r\ns='single'\r\n"
      "mixed=\"a'\r\nnested=\"\"two\"\"\r\nlone=\"\r\n";
  EXPECT_EQ(Read(text, "S", "a"), "x y");
  EXPECT_EQ(Read(text, "S", "q"), " padded ");
  EXPECT_EQ(Read(text, "S", "s"), "single");
  EXPECT_EQ(Read(text, "S", "mixed"), "\"a'");
  EXPECT_EQ(Read(text, "S", "nested"), "\"two\"");
  EXPECT_EQ(Read(text, "S", "lone"), "\"");
}

TEST(IniLookup, ValuesAreCutAt2047BytesWithoutSplittingACharacter) {
  std::string v2048(2048, 'v');
  EXPECT_EQ(Read("[S]\r\nk=" + v2048 + "\r\n", "S", "k"), std::string(2047, 'v'));
  std::string v2047(2047, 'w');
  EXPECT_EQ(Read("[S]\r\nk=" + v2047 + "\r\n", "S", "k"), v2047);
  // 2046 ASCII bytes, then a double-byte character across the limit.
  std::string split = std::string(2046, 'a') + "甲";
  EXPECT_EQ(Read("[S]\r\nk=" + split + "\r\n", "S", "k"), std::string(2046, 'a'));
}

TEST(IniLookup, FirstOccurrenceWinsAndCommentsAreNotKeys) {
  const std::string text =
      "top=0\r\n[S]\r\n;k=comment\r\nk=1\r\nk=2\r\n[T]\r\nk=3\r\n[s]\r\nk=4\r\nonly=5\r\n";
  EXPECT_EQ(Read(text, "S", "k"), "1");
  EXPECT_EQ(Read(text, "S", "only"), "<default>");
  EXPECT_EQ(Read(Write(text, "S", "only", "6"), "S", "only"), "6");
  EXPECT_EQ(Read(text, "S", ";k"), "<default>");
  EXPECT_EQ(Read(text, "", "top"), "<default>");
}

TEST(IniLookup, LfOnlyFilesAndMissingFinalLineBreak) {
  EXPECT_EQ(Read("[S]\nk=1\nj=2", "S", "j"), "2");
  EXPECT_EQ(Read("[S]\nk=1\n", "S", "k"), "1");
}

// Many editors save with a UTF-8 byte-order mark: the first section must
// still be found, and a write keeps the mark.
TEST(IniLookup, ByteOrderMarkBeforeTheFirstSectionIsSkippedAndKept) {
  const std::string bom = "\xEF\xBB\xBF";
  EXPECT_EQ(Read(bom + "[SYSTEM]\r\nLocalIP=1\r\n", "SYSTEM", "LocalIP"), "1");
  EXPECT_EQ(Write(bom + "[S]\r\nk=1\r\n", "S", "k", "2"), bom + "[S]\r\nk=2\r\n");
  EXPECT_EQ(Read("[S]\r\n" + bom + "k=1\r\n", "S", "k"), "<default>");  // only at the start
}

TEST(IniWrite, KeepsEverythingElseOfTheFile) {
  const std::string text =
      "; settings\r\n\r\n[HardWare]\r\nCom = 5 ; port\r\nUnknown=x\r\n\r\n[SYSTEM]\r\nLocalIP=1\r\n";
  std::string out = Write(text, "hardware", "COM", "7");
  EXPECT_EQ(out,
            "; settings\r\n\r\n[HardWare]\r\nCom=7\r\nUnknown=x\r\n\r\n[SYSTEM]\r\nLocalIP=1\r\n");
  out = Write(text, "HardWare", "baud", "9600");
  EXPECT_EQ(out,
            "; settings\r\n\r\n[HardWare]\r\nCom = 5 ; port\r\nUnknown=x\r\nbaud=9600\r\n\r\n"
            "[SYSTEM]\r\nLocalIP=1\r\n");
}

TEST(IniWrite, CreatesSectionsAndKeysAndFollowsTheFileLineEnd) {
  EXPECT_EQ(Write("", "S", "k", "v"), "[S]\r\nk=v\r\n");
  EXPECT_EQ(Write("[A]\r\na=1", "B", "k", "v"), "[A]\r\na=1\r\n\r\n[B]\r\nk=v\r\n");
  EXPECT_EQ(Write("[A]\na=1\n", "A", "b", "2"), "[A]\na=1\nb=2\n");
  EXPECT_EQ(Write("[A]\na=1", "A", "b", "2"), "[A]\na=1\nb=2\n");
  EXPECT_EQ(Write("[A]\r\n", "a", "b", "2"), "[A]\r\nb=2\r\n");
  // A last line ending in a lone carriage return still gets its line end:
  // the new key must not be glued to it.
  EXPECT_EQ(Read(Write("[A]\r\na=\r", "A", "b", "2"), "A", "b"), "2");
}

TEST(IniWrite, ValuesWithLineBreaksCannotCreateKeysOrSections) {
  std::string out = Write("[SYSTEM]\r\nLocalIP=1\r\n[23]\r\n", "23", "InMsg",
                          "a\r\n[SYSTEM]\r\nLocalIP=evil\nx");
  EXPECT_EQ(Read(out, "SYSTEM", "LocalIP"), "1");
  EXPECT_EQ(Read(out, "23", "InMsg"), "a  [SYSTEM]  LocalIP=evil x");
  std::string cut = Write("", "S", "k", std::string("ab\0cd", 5));
  EXPECT_EQ(Read(cut, "S", "k"), "ab");
}

TEST(IniWrite, NamesThatCannotBeStoredAreRefused) {
  std::string out = "unchanged";
  for (const char* bad_section : {"", "  ", "a]b", "a\nb", "a\rb"}) {
    EXPECT_FALSE(IniApplyWrites("", {IniEntry{bad_section, "k", "v"}}, &out)) << bad_section;
  }
  for (const char* bad_key : {"", "a=b", ";k", "[k", "a\r\nb"}) {
    EXPECT_FALSE(IniApplyWrites("", {IniEntry{"S", bad_key, "v"}}, &out)) << bad_key;
  }
  EXPECT_EQ(out, "unchanged");
  // A refused entry anywhere in a batch refuses the whole batch.
  EXPECT_FALSE(IniApplyWrites("", {IniEntry{"S", "k", "v"}, IniEntry{"S", "", "v"}}, &out));
  EXPECT_EQ(out, "unchanged");
}

TEST(IniWrite, SeveralKeysInOneBatchKeepTheirOrder) {
  std::string out;
  ASSERT_TRUE(IniApplyWrites("[000]\r\nTAC=9\r\n",
                             {IniEntry{"000", "TradeTypeID", "21"}, IniEntry{"000", "TradeId", "5"},
                              IniEntry{"000", "TAC", ""}, IniEntry{"23", "InMsg", "m"}},
                             &out));
  EXPECT_EQ(out, "[000]\r\nTAC=\r\nTradeTypeID=21\r\nTradeId=5\r\n\r\n[23]\r\nInMsg=m\r\n");
}

// Writes of one batch give the same text as the same writes one at a time,
// wherever the section stands: first, between others, last without a final
// line break, twice, under another letter case, or not at all yet.
TEST(IniWrite, ABatchEqualsItsWritesOneAtATime) {
  const std::vector<IniEntry> batch = {
      IniEntry{"000", "Ybzt", "1"},       IniEntry{"000", "New", "n"},
      IniEntry{"000", "TradeId", "7"},    IniEntry{"202", "InMsg", "in"},
      IniEntry{"202", "OutMsg", "out"},   IniEntry{"000", "TAC", "t"},
      IniEntry{"New", "a", "1"},          IniEntry{"new", "b", "2"}};
  const std::string texts[] = {
      "",
      "[000]\r\nTradeId=1\r\nYbzt=0\r\n[PAD]\r\nK=1\r\n",
      "[A]\r\nx=1\r\n[202]\r\nInMsg=old\r\n; note\r\n[000]\r\nTradeId=1",
      "[a]\nk=1\n[000]\n[000]\nYbzt=9\n[z]\n",
      "\xEF\xBB\xBF[000]\r\nybzt=2\r\n\r\n[202]\r\nOutMsg=x\r\n[Pad]\r\n"};
  for (const std::string& text : texts) {
    std::string together;
    ASSERT_TRUE(IniApplyWrites(text, batch, &together));
    std::string one_by_one = text;
    for (const IniEntry& e : batch) one_by_one = Write(one_by_one, e.section, e.key, e.value);
    EXPECT_EQ(together, one_by_one) << text;
  }
}

TEST(IniWrite, WrittenValuesReadBack) {
  std::string text;
  for (const std::string& v : {std::string("甲乙丙"), std::string("x=y=z"), std::string("a;b"),
                               std::string("[not a section]")}) {
    text = Write(text, "S", "k", v);
    EXPECT_EQ(Read(text, "S", "k"), v);
  }
}

TEST(IniInteger, DecimalDollarHexAndZeroXHexElseFalse) {
  int32_t v = -99;
  EXPECT_TRUE(IniParseInteger("0x10", &v));
  EXPECT_EQ(v, 16);
  EXPECT_TRUE(IniParseInteger("0X1f", &v));
  EXPECT_EQ(v, 31);
  EXPECT_TRUE(IniParseInteger("$FF", &v));
  EXPECT_EQ(v, 255);
  EXPECT_TRUE(IniParseInteger("-12", &v));
  EXPECT_EQ(v, -12);
  EXPECT_TRUE(IniParseInteger("2147483647", &v));
  EXPECT_EQ(v, 2147483647);
  EXPECT_TRUE(IniParseInteger("-2147483648", &v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_TRUE(IniParseInteger("$FFFFFFFF", &v));
  EXPECT_EQ(v, -1);
  v = 7;
  for (const char* bad : {"", "abc", "12abc", "0x", "$", "2147483648", "$123456789", "1 2",
                          "0x1G", "+", "1.5"}) {
    EXPECT_FALSE(IniParseInteger(bad, &v)) << bad;
  }
  EXPECT_EQ(v, 7);
}

}  // namespace
}  // namespace corvane
