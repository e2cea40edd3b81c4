#include <gtest/gtest.h>

#include "link/reply_download.h"

namespace corvane {
namespace {

// Field n taken out of a "~" list: the other fields stay in order, joined
// without a leading separator; a number beyond the list fails and leaves the
// result as it was.  Only "~" separates.
TEST(RemoveField, KeepsTheOtherFieldsInOrder) {
  const struct {
    const char* list;
    int32_t n;
    const char* result;
  } cases[] = {
      {"a~b~c~d", 3, "0 a~b~d"}, {"a~b~c~d", 4, "0 a~b~c"}, {"a~~c~", 2, "0 a~c~"},
      {"a~b~c", 1, "0 b~c"},     {"a~~c", 1, "0 ~c"},       {"a~b~c", 4, "-1 before"},
      {"", 1, "0 "},             {"h%%u%%p%%/f~x,y~z", 1, "0 x,y~z"},
  };
  for (const auto& c : cases) {
    std::string out = "before";
    EXPECT_EQ(std::to_string(Kvo_RemoveField(c.list, c.n, &out)) + " " + out, c.result) << c.list << " " << c.n;
  }
}

}  // namespace
}  // namespace corvane
