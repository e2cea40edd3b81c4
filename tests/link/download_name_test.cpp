#include <gtest/gtest.h>

#include "link/reply_check.h"
#include "link/reply_download.h"

namespace corvane {
namespace {

TEST(DownloadFileName, TextAfterTheLastSeparator) {
  EXPECT_EQ(DownloadFileName("/data/out/f1.txt"), "f1.txt");
  EXPECT_EQ(DownloadFileName("data\\out\\f2.txt"), "f2.txt");
  EXPECT_EQ(DownloadFileName("c:f3.txt"), "f3.txt");
  EXPECT_EQ(DownloadFileName("a/b\\c:d/e.txt"), "e.txt");
  EXPECT_EQ(DownloadFileName("plain.txt"), "plain.txt");
  EXPECT_EQ(DownloadFileName("dir/"), "");
}

TEST(DownloadFileName, BackslashInsideAGbkCharacterIsNoSeparator) {
  // 0x5C as the second byte of a double-byte character.
  const std::string name = "\x81\x5c\xb1\xed.txt";
  EXPECT_EQ(DownloadFileName("/out/" + name), name);
  EXPECT_EQ(DownloadFileName("报表.txt"), "报表.txt");
}

TEST(ReplyDownloadFields, TableOfTransactionNumbers) {
  for (int n : {201, 213, 214, 222, 223, 224, 226, 228}) {
    EXPECT_EQ(ReplyDownloadFields(n), std::vector<int32_t>({4})) << n;
  }
  EXPECT_EQ(ReplyDownloadFields(215), std::vector<int32_t>({4, 5}));
  EXPECT_EQ(ReplyDownloadFields(221), std::vector<int32_t>({5, 7, 8, 9}));
  EXPECT_EQ(ReplyDownloadFields(225), std::vector<int32_t>({5, 8, 9}));
  for (int n : {0, 21, 49, 200, 202, 212, 216, 220, 227, 229, 1201}) {
    EXPECT_TRUE(ReplyDownloadFields(n).empty()) << n;
  }
}

}  // namespace
}  // namespace corvane
