// What passes between the library and the dialog program.
#include <gtest/gtest.h>

#include "platform/posix/form_wire.h"

namespace corvane::platform {
namespace {

TEST(FormWire, AFormArrivesAsSent) {
  FormLayout s;
  s.caption = "Tradecfg参数配置";
  s.left = 142, s.top = 221, s.width = 471, s.height = 285, s.font_height = -12;
  s.font_face = "宋体";
  s.bottom_panel_height = 41, s.line_left = 5, s.line_top = 131, s.line_width = 463;
  s.chinese_input = true;
  s.buttons = {{"确定(&S)", 277, 8, 75, 25, 1}};
  s.labels = {{"卡类型：", 220, 28, 88, 12}};
  s.edits = {{"", 312, 24, 121, 21}, {"a b\nc", 97, 24, 121, 21}};
  FormLayout back;
  ASSERT_TRUE(DecodeFormLayout(EncodeFormLayout(s), &back));
  EXPECT_EQ(EncodeFormLayout(s), EncodeFormLayout(back));
  EXPECT_EQ(back.edits[1].text, "a b\nc");
  EXPECT_EQ(back.buttons[0].result, 1);
  EXPECT_TRUE(back.chinese_input);
}

TEST(FormWire, AnOutcomeMustHoldEveryEdit) {
  FormResult r;
  r.modal_result = 1;
  r.texts = {"", "x y"};
  r.changed = {false, true};
  FormResult back;
  ASSERT_TRUE(DecodeFormResult(EncodeFormResult(r), 2, &back));
  EXPECT_EQ(back.texts, r.texts);
  EXPECT_EQ(back.changed, r.changed);
  EXPECT_FALSE(DecodeFormResult(EncodeFormResult(r), 3, &back));
  EXPECT_FALSE(DecodeFormResult("result 1\nedit 0 zz\nedit 1 -\n", 2, &back));
  EXPECT_FALSE(DecodeFormResult("", 0, &back));
  FormLayout layout;
  EXPECT_FALSE(DecodeFormLayout("form 1 2 3\n", &layout));
  EXPECT_FALSE(DecodeFormLayout(std::string(kFormWireMaxBytes + 1, ' '), &layout));
}

}  // namespace
}  // namespace corvane::platform
