// The ini codec: lookups, values, names and writes that keep the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ini_text.h"

namespace corvane {
namespace {

const char kDefault[] = "<default>";
const std::string kBom = "\xEF\xBB\xBF";

std::string Read(const std::string& text, const std::string& section, const std::string& key) {
  std::string v;
  return IniFindValue(text, section, key, &v) ? v : kDefault;
}

std::string Write(const std::string& text, const std::string& section, const std::string& key,
                  const std::string& value) {
  std::string out;
  EXPECT_TRUE(IniApplyWrites(text, {IniEntry{section, key, value}}, &out));
  return out;
}

TEST(IniLookup, NamesSectionsAndValues) {
  const std::string quoted =
      "[S]\r\n a = \t x y \t\r\nq=\" padded \"\r\ns='single'\r\n"
      "mixed=\"a'\r\nnested=\"\"two\"\"\r\nlone=\"\r\n";
  const std::string repeated =
      "top=0\r\n[S]\r\n;k=comment\r\nk=1\r\nk=2\r\n[T]\r\nk=3\r\n[s]\r\nk=4\r\nonly=5\r\n";
  const struct {
    std::string text, section, key, value;
  } cases[] = {
      // Names match regardless of case, but a GBK trail byte ("\xC3\x75"
      // against "\xC3\x55") is never case-folded.
      {"[HardWare]\r\nCOM=7\r\n", "hardware", "com", "7"},
      {"[系统]\r\n键=甲\r\n", "系统", "键", "甲"},
      {"[\xC3\x75]\r\nk=1\r\n", "\xC3\x55", "k", kDefault},
      {"[\xC3\x75]\r\nk=1\r\n", "\xC3\x75", "K", "1"},
      // A missing key or section gives the default, an empty value is empty.
      {"[S]\r\nEmpty=\r\nBare\r\n", "S", "Missing", kDefault},
      {"[S]\r\nEmpty=\r\nBare\r\n", "S", "Empty", ""},
      {"[S]\r\nEmpty=\r\nBare\r\n", "S", "Bare", kDefault},
      {"[S]\r\nEmpty=\r\nBare\r\n", "Other", "Empty", kDefault},
      // Values lose their blanks and one pair of matching quotes.
      {quoted, "S", "a", "x y"},
      {quoted, "S", "q", " padded "},
      {quoted, "S", "s", "single"},
      {quoted, "S", "mixed", "\"a'"},
      {quoted, "S", "nested", "\"two\""},
      {quoted, "S", "lone", "\""},
      // Values are cut at 2047 bytes without splitting a character.
      {"[S]\r\nk=" + std::string(2048, 'v') + "\r\n", "S", "k", std::string(2047, 'v')},
      {"[S]\r\nk=" + std::string(2047, 'w') + "\r\n", "S", "k", std::string(2047, 'w')},
      {"[S]\r\nk=" + std::string(2046, 'a') + "甲\r\n", "S", "k", std::string(2046, 'a')},
      // The first occurrence wins; comments and lines before any section are no keys.
      {repeated, "S", "k", "1"},
      {repeated, "S", "only", kDefault},
      {repeated, "S", ";k", kDefault},
      {repeated, "", "top", kDefault},
      // Line feeds alone, no final line break.
      {"[S]\nk=1\nj=2", "S", "j", "2"},
      {"[S]\nk=1\n", "S", "k", "1"},
      // A UTF-8 byte-order mark (many editors save one) is skipped at the start only.
      {kBom + "[SYSTEM]\r\nLocalIP=1\r\n", "SYSTEM", "LocalIP", "1"},
      {"[S]\r\n" + kBom + "k=1\r\n", "S", "k", kDefault},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Read(c.text, c.section, c.key), c.value) << c.section << "." << c.key << " in " << c.text;
}

TEST(IniWrite, KeepsEverythingElseOfTheFileAndFollowsItsLineEnd) {
  const std::string file =
      "; settings\r\n\r\n[HardWare]\r\nCom = 5 ; port\r\nUnknown=x\r\n\r\n[SYSTEM]\r\nLocalIP=1\r\n";
  const struct {
    std::string text, section, key, value, written;
  } cases[] = {
      {file, "hardware", "COM", "7",
       "; settings\r\n\r\n[HardWare]\r\nCom=7\r\nUnknown=x\r\n\r\n[SYSTEM]\r\nLocalIP=1\r\n"},
      {file, "HardWare", "baud", "9600",
       "; settings\r\n\r\n[HardWare]\r\nCom = 5 ; port\r\nUnknown=x\r\nbaud=9600\r\n\r\n"
       "[SYSTEM]\r\nLocalIP=1\r\n"},
      {"[S]\r\nk=1\r\n[T]\r\n[s]\r\nonly=5\r\n", "S", "only", "6",
       "[S]\r\nk=1\r\nonly=6\r\n[T]\r\n[s]\r\nonly=5\r\n"},
      {kBom + "[S]\r\nk=1\r\n", "S", "k", "2", kBom + "[S]\r\nk=2\r\n"},
      {"", "S", "k", "v", "[S]\r\nk=v\r\n"},
      {"[A]\r\na=1", "B", "k", "v", "[A]\r\na=1\r\n\r\n[B]\r\nk=v\r\n"},
      {"[A]\na=1\n", "A", "b", "2", "[A]\na=1\nb=2\n"},
      {"[A]\na=1", "A", "b", "2", "[A]\na=1\nb=2\n"},
      {"[A]\r\n", "a", "b", "2", "[A]\r\nb=2\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Write(c.text, c.section, c.key, c.value), c.written) << c.text;
  // A last line ending in a lone carriage return still gets its line end:
  // the new key must not be glued to it.
  EXPECT_EQ(Read(Write("[A]\r\na=\r", "A", "b", "2"), "A", "b"), "2");
}

TEST(IniWrite, WrittenValuesReadBackOnOneLine) {
  std::string text;
  for (const std::string& v : {std::string("甲乙丙"), std::string("x=y=z"), std::string("a;b"),
                               std::string("[not a section]")}) {
    text = Write(text, "S", "k", v);
    EXPECT_EQ(Read(text, "S", "k"), v);
  }
  // Line breaks cannot create keys or sections; a zero byte ends the value.
  std::string out = Write("[SYSTEM]\r\nLocalIP=1\r\n[23]\r\n", "23", "InMsg",
                          "a\r\n[SYSTEM]\r\nLocalIP=evil\nx");
  EXPECT_EQ(Read(out, "SYSTEM", "LocalIP"), "1");
  EXPECT_EQ(Read(out, "23", "InMsg"), "a  [SYSTEM]  LocalIP=evil x");
  EXPECT_EQ(Read(Write("", "S", "k", std::string("ab\0cd", 5)), "S", "k"), "ab");
}

TEST(IniWrite, NamesThatCannotBeStoredAreRefused) {
  std::string out = "unchanged";
  for (const char* bad_section : {"", "  ", "a]b", "a\nb", "a\rb"}) {
    EXPECT_FALSE(IniApplyWrites("", {IniEntry{bad_section, "k", "v"}}, &out)) << bad_section;
  }
  for (const char* bad_key : {"", "a=b", ";k", "[k", "a\r\nb"}) {
    EXPECT_FALSE(IniApplyWrites("", {IniEntry{"S", bad_key, "v"}}, &out)) << bad_key;
  }
  // A refused entry anywhere in a batch refuses the whole batch.
  EXPECT_FALSE(IniApplyWrites("", {IniEntry{"S", "k", "v"}, IniEntry{"S", "", "v"}}, &out));
  EXPECT_EQ(out, "unchanged");
}

// A batch keeps its order, and gives the same text as the same writes one
// at a time, wherever the section stands: first, between others, last
// without a final line break, twice, under another letter case, or not at
// all yet.
TEST(IniWrite, ABatchEqualsItsWritesOneAtATime) {
  std::string out;
  ASSERT_TRUE(IniApplyWrites("[000]\r\nTAC=9\r\n",
                             {IniEntry{"000", "TradeTypeID", "21"}, IniEntry{"000", "TradeId", "5"},
                              IniEntry{"000", "TAC", ""}, IniEntry{"23", "InMsg", "m"}},
                             &out));
  EXPECT_EQ(out, "[000]\r\nTAC=\r\nTradeTypeID=21\r\nTradeId=5\r\n\r\n[23]\r\nInMsg=m\r\n");
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
      kBom + "[000]\r\nybzt=2\r\n\r\n[202]\r\nOutMsg=x\r\n[Pad]\r\n"};
  for (const std::string& text : texts) {
    std::string together;
    ASSERT_TRUE(IniApplyWrites(text, batch, &together));
    std::string one_by_one = text;
    for (const IniEntry& e : batch) one_by_one = Write(one_by_one, e.section, e.key, e.value);
    EXPECT_EQ(together, one_by_one) << text;
  }
}

TEST(IniInteger, DecimalDollarHexAndZeroXHexElseFalse) {
  const std::pair<const char*, int32_t> good[] = {{"0x10", 16}, {"0X1f", 31}, {"$FF", 255}, {"-12", -12},
                                                  {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
                                                  {"$FFFFFFFF", -1}};
  for (const auto& [text, value] : good) {
    int32_t v = -99;
    EXPECT_TRUE(IniParseInteger(text, &v)) << text;
    EXPECT_EQ(v, value) << text;
  }
  int32_t v = 7;
  for (const char* bad : {"", "abc", "12abc", "0x", "$", "2147483648", "$123456789", "1 2",
                          "0x1G", "+", "1.5"}) {
    EXPECT_FALSE(IniParseInteger(bad, &v)) << bad;
  }
  EXPECT_EQ(v, 7);
}

}  // namespace
}  // namespace corvane
