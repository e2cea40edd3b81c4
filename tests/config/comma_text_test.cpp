#include <gtest/gtest.h>

#include "config/comma_text.h"

namespace corvane {
namespace {

using Items = std::vector<std::string>;

TEST(CommaText, CommasBlanksQuotesAndTrailingComma) {
  EXPECT_EQ(SplitCommaText("21,5,1111111111111,0,a,b,c,d"),
            (Items{"21", "5", "1111111111111", "0", "a", "b", "c", "d"}));
  EXPECT_EQ(SplitCommaText("  21 5\t1111111111111   0 a b c d  "),
            (Items{"21", "5", "1111111111111", "0", "a", "b", "c", "d"}));
  EXPECT_EQ(SplitCommaText("a , b"), (Items{"a", "b"}));
  EXPECT_EQ(SplitCommaText("a,,b"), (Items{"a", "", "b"}));
  EXPECT_EQ(SplitCommaText("a,"), (Items{"a", ""}));
  EXPECT_EQ(SplitCommaText("a, "), (Items{"a"}));
  EXPECT_EQ(SplitCommaText("\"x, y\",\"say \"\"hi\"\"\",z"),
            (Items{"x, y", "say \"hi\"", "z"}));
  EXPECT_EQ(SplitCommaText("\"open"), (Items{"open"}));
  EXPECT_EQ(SplitCommaText(""), Items{});
  EXPECT_EQ(SplitCommaText("a,b,c", 2), (Items{"a", "b"}));
}

}  // namespace
}  // namespace corvane
