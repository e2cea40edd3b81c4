// The text layer must give the same bytes on every platform: code page 936
// as Windows defines it.
#include <gtest/gtest.h>

#include "platform/text.h"

namespace corvane::platform {
namespace {

TEST(Text, GbkRoundTripOfCommonText) {
  const std::string gbk = "医保结算：张三，住院号123！";
  std::u16string wide = GbkToWide(gbk);
  EXPECT_EQ(u"医保结算：张三，住院号123！", wide);
  EXPECT_EQ(gbk, WideToGbk(wide));
  EXPECT_EQ(gbk, WideToAnsi(AnsiToWide(gbk)));
  // Long ASCII runs (converted in bulk) around characters, at any offset.
  const std::string ascii(5000, 'a'), more(2047, 'b');
  const std::string mixed = ascii + gbk + more + "\x80" + ascii;
  wide = GbkToWide(mixed);
  EXPECT_EQ(std::u16string(5000, u'a') + u"医保结算：张三，住院号123！" + std::u16string(2047, u'b') + u"\u20ac" +
                std::u16string(5000, u'a'),
            wide);
  EXPECT_EQ(mixed, WideToGbk(wide));
}

TEST(Text, CodePage936Specifics) {
  // 0x80 is the euro sign in code page 936.
  EXPECT_EQ(u"\u20ac", GbkToWide("\x80"));
  EXPECT_EQ("\x80", WideToGbk(u"\u20ac"));
  // Middle dot and em dash as 936 maps them.
  EXPECT_EQ(u"\u00b7", GbkToWide("\xa1\xa4"));
  EXPECT_EQ(u"\u2014", GbkToWide("\xa1\xaa"));
}

TEST(Text, UnconvertibleCharactersBecomeQuestionMarks) {
  EXPECT_EQ("a??b", WideToGbk(u"a\U0001F600b"));  // one per UTF-16 unit
  EXPECT_EQ("?", WideToGbk(u"\u0e01"));  // Thai has no place in 936
}

TEST(Text, Utf8RoundTrip) {
  const std::string utf8 = u8"交易~\U0001F600~end";
  EXPECT_EQ(utf8, WideToUtf8(Utf8ToWide(utf8)));
}

// Trimming and splitting take every byte up to the blank; a line-based
// protocol refuses the bytes below the blank and DEL, never a GBK byte.
TEST(Text, BlanksAndControlCharacters) {
  EXPECT_TRUE(HasControlCharacter("x\r\nDELE /other"));
  EXPECT_TRUE(HasControlCharacter(std::string("a\0b", 3)));
  EXPECT_TRUE(HasControlCharacter("end\x7f") && HasControlCharacter("\x1f"));
  EXPECT_FALSE(HasControlCharacter("张三 报表~1.txt\xff"));
  EXPECT_FALSE(HasControlCharacter(""));

  EXPECT_EQ("a b", TrimText(" \t\r\n\x01" "a b\x1f "));
  EXPECT_EQ("\x7f" "a\x80", TrimText(std::string("\0\x7f" "a\x80 ", 5)));
  EXPECT_EQ("", TrimText(" \t "));
  EXPECT_EQ("张三", TrimText(" 张三 "));
  EXPECT_EQ("x", TrimView("\x01x "));
  EXPECT_EQ(u"x\u3000", TrimWide(u"\u0001 x\u3000\t"));
}

TEST(Text, AnsiCodePageIs936) { EXPECT_EQ(936u, AnsiCodePage()); }

}  // namespace
}  // namespace corvane::platform
