#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "common/error_codes.h"
#include "common/fields.h"
#include "common/last_error.h"
#include "common/serial_text.h"

namespace corvane {
namespace {

// Field n of a text split at sep: the result, then the out field (which
// starts as "<kept>").
std::string Field(const std::string& text, int n, const char* sep = "~") {
  std::string f = "<kept>";
  const int rc = std::string(sep) == "~" ? get_field(text, n, &f) : get_sub_field(text, n, &f);
  return std::to_string(rc) + " " + f;
}

TEST(GetField, FieldsOfATextAtOneOrTwoCharacterSeparators) {
  const struct {
    const char* text;
    int n;
    const char* sep;
    const char* field;
  } cases[] = {
      {"a~b~c", 1, "~", "0 a"},     {"a~b~c", 3, "~", "0 c"},     {"a~b~c", 4, "~", "-1 c"},
      {"", 1, "~", "0 "},           {"a~b", 0, "~", "0 <kept>"},  {"a~b", -3, "~", "0 <kept>"},
      {"a~~b", 2, "~", "0 "},       {"a~b~", 3, "~", "0 "},
      {"病人~张三~", 2, "~", "0 张三"},  // bytes: a Chinese field comes back whole
      // Matches never overlap: "%%%z" splits into "" and "%z".
      {"x%%y%%%z", 2, "%%", "0 y"}, {"x%%y%%%z", 3, "%%", "0 %z"},
      // A last field ending in part of the separator keeps it: the
      // separator is searched in the text, not in the text with one appended.
      {"a%", 1, "%%", "0 a%"},      {"10.0.0.5%%u%%pw%%/out/50%", 4, "%%", "0 /out/50%"},
      {"a%%%", 2, "%%", "0 %"},     {"a%%%", 3, "%%", "-1 %"},
  };
  for (const auto& c : cases) EXPECT_EQ(Field(c.text, c.n, c.sep), c.field) << c.text << " " << c.n;
  // Past the end the out field holds the last field taken, and the error is recorded.
  std::string f;
  EXPECT_EQ(-1, get_field("a~b~c", 4, &f));
  EXPECT_EQ(kErrGetField, LastErrorCode());
  EXPECT_EQ("执行get_field函数发生错误，不能从a~b~c中取出以~为分割符的第4个字符串，请联系开发人员！",
            LastErrorMessage());
}

TEST(CountFields, CountsSeparatorsPlusOne) {
  EXPECT_EQ(1, Kvo_CountFields(""));
  EXPECT_EQ(2, Kvo_CountFields("~"));
  EXPECT_EQ(3, Kvo_CountFields("a~b~"));
  EXPECT_EQ(2, Kvo_CountFields("x%%y", "%%"));
  EXPECT_EQ(2, Kvo_CountFields("%%%", "%%"));
}

TEST(GetTailFields, RestFromFieldNAndAFailureRecordsNoError) {
  std::string r;
  for (const auto& [n, rest] : {std::pair{5, "e~f"}, {1, "a~b~c~d~e~f"}, {0, "a~b~c~d~e~f"}}) {
    EXPECT_EQ(0, Kvo_GetTailFields("a~b~c~d~e~f", "~", n, &r)) << n;
    EXPECT_EQ(rest, r) << n;
  }
  EXPECT_EQ(-1, Kvo_GetTailFields("a~b~c~d~e~f", "~", 7, &r));
  EXPECT_EQ(0, Kvo_GetTailFields("a~b~", "~", 3, &r));
  EXPECT_EQ("", r);
  Kvo_SetLastError(-1234, "before");
  EXPECT_EQ(-1, Kvo_GetTailFields("a", "~", 3, &r));
  EXPECT_EQ(-1234, LastErrorCode());
}

TEST(SplitStr, TrimsTheWholeTextButNotItems) {
  std::vector<std::string> list;
  EXPECT_EQ(3, Kvo_SplitStr(" a~b~ ", '~', &list));
  EXPECT_EQ((std::vector<std::string>{"a", "b", ""}), list);
  std::vector<std::string> none;
  EXPECT_EQ(0, Kvo_SplitStr("   \t ", '~', &none));
  EXPECT_TRUE(none.empty());
  std::vector<std::string> items{"old"};
  EXPECT_EQ(3, Kvo_SplitStr("x , y", ',', &items)) << "the count includes items already there";
  EXPECT_EQ("x ", items[1]);
  EXPECT_EQ(" y", items[2]);
}

TEST(GetWideFields, TrimsPiecesAsWideText) {
  std::string out = "junk";
  Kvo_GetWideFields("x~ y ~z", "~", 2, &out, 1);
  EXPECT_EQ("y ", out);
  Kvo_GetWideFields("x~ y ~z", "~", 4, &out, 1);
  EXPECT_EQ("", out);
  Kvo_GetWideFields("a~b~c~d", "~", 2, &out, 2);
  EXPECT_EQ("b~c", out);
  Kvo_GetWideFields("a~b~c~d", "~", 1, &out, -1);
  EXPECT_EQ("a~b~c~d", out);
  Kvo_GetWideFields("a~b", "~", 0, &out, 1);
  EXPECT_EQ("", out);
  Kvo_GetWideFields("a~b", "~", 1, &out, 0);
  EXPECT_EQ("", out);
}

TEST(GetWideFields, ChineseFieldsSurviveTheRoundTrip) {
  std::string out;
  Kvo_GetWideFields("0~张三~住院~备注", "~", 2, &out, -1);
  EXPECT_EQ("张三~住院~备注", out);
}

TEST(GetWideFields, AtMostOneHundredPiecesForMinusOne) {
  std::string text;
  for (int i = 0; i < 150; ++i) text += std::to_string(i) + "~";
  std::string out;
  Kvo_GetWideFields(text, "~", 1, &out, -1);
  EXPECT_EQ(100, Kvo_CountFields(out));
  EXPECT_EQ(0u, out.rfind("0~1~", 0));
}

TEST(SplitWideStr, StopsAtTheHighestIndex) {
  std::vector<std::u16string> pieces(2);
  EXPECT_EQ(2, Kvo_SplitWideStr(u"a~b~c", u"~", &pieces, 1));
  EXPECT_EQ(u"a", pieces[0]);
  EXPECT_EQ(u"b", pieces[1]);
  EXPECT_EQ(0, Kvo_SplitWideStr(u"  ", u"~", &pieces, 5));
  EXPECT_EQ(0, Kvo_SplitWideStr(u"a~b", u" ", &pieces, 5));
  std::vector<std::u16string> last(3);
  EXPECT_EQ(2, Kvo_SplitWideStr(u"a~  ", u"~", &last, 2)) << "a final separator adds an empty piece";
  EXPECT_EQ(u"", last[1]);
}

// The packet header, the card's lock field and the serial check.
TEST(SerialText14, RoundsHalfAwayPadsToFourteenAndRefusesWhatDoesNotFit) {
  std::string t;
  const std::pair<double, const char*> fits[] = {
      {0, "00000000000000"},   {-0.4, "00000000000000"}, {12.4, "00000000000012"},
      {12.5, "00000000000013"}, {20240101123456.0, "20240101123456"},
      {99999999999999.0, "99999999999999"}};
  for (const auto& f : fits) {
    ASSERT_TRUE(SerialText14(f.first, &t)) << f.first;
    EXPECT_EQ(f.second, t);
  }
  t = "keep";
  for (double v : {100000000000000.0, 99999999999999.6, -1.0, -0.6,
                   std::numeric_limits<double>::quiet_NaN(),
                   std::numeric_limits<double>::infinity()}) {
    EXPECT_FALSE(SerialText14(v, &t)) << v;
  }
  EXPECT_EQ("keep", t);
}

}  // namespace
}  // namespace corvane
