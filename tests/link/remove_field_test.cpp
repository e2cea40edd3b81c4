#include <gtest/gtest.h>

#include "link/reply_download.h"

namespace corvane {
namespace {

TEST(RemoveField, KeepsTheOtherFieldsInOrder) {
  std::string out;
  ASSERT_EQ(Kvo_RemoveField("a~b~c~d", 3, &out), 0);
  EXPECT_EQ(out, "a~b~d");
  ASSERT_EQ(Kvo_RemoveField("a~b~c~d", 4, &out), 0);
  EXPECT_EQ(out, "a~b~c");
  ASSERT_EQ(Kvo_RemoveField("a~~c~", 2, &out), 0);
  EXPECT_EQ(out, "a~c~");  // empty fields elsewhere are kept
}

TEST(RemoveField, FirstFieldLeavesNoLeadingSeparator) {
  std::string out;
  ASSERT_EQ(Kvo_RemoveField("a~b~c", 1, &out), 0);
  EXPECT_EQ(out, "b~c");
  ASSERT_EQ(Kvo_RemoveField("a~~c", 1, &out), 0);
  EXPECT_EQ(out, "~c");
}

TEST(RemoveField, NumberBeyondTheListFailsAndLeavesResult) {
  std::string out = "before";
  EXPECT_EQ(Kvo_RemoveField("a~b~c", 4, &out), -1);
  EXPECT_EQ(out, "before");
  ASSERT_EQ(Kvo_RemoveField("", 1, &out), 0);  // the empty text is one field
  EXPECT_EQ(out, "");
}

TEST(RemoveField, OnlyTildeSeparates) {
  std::string out;
  ASSERT_EQ(Kvo_RemoveField("h%%u%%p%%/f~x,y~z", 1, &out), 0);
  EXPECT_EQ(out, "x,y~z");
}

}  // namespace
}  // namespace corvane
