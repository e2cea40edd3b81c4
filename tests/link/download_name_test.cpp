#include <gtest/gtest.h>

#include "common/diagnostics.h"
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

TEST(DownloadFileName, LeadByteBeforeASeparatorDoesNotHideIt) {
  // "/" and ":" are never the second byte of a character: the name never
  // holds a separator, whatever byte stands before it.
  EXPECT_EQ(DownloadFileName("ut\xdb\x8a\x8b/\xd0" "a.txt"), "\xd0" "a.txt");
  EXPECT_EQ(DownloadFileName("out\x81/..\x81/f.txt"), "f.txt");
  EXPECT_EQ(DownloadFileName("c\xfe:f.txt"), "f.txt");
}

// FTP commands are lines: a line break in any download field would add a
// command of its own.  Refused here, on every platform, before any client.
TEST(FtpGetFile, ControlCharacterInAnyFieldIsRefusedBeforeConnecting) {
  const std::string bad = "x\r\nDELE /other";
  const std::string fields[4][4] = {{bad, "u", "p", "/f.txt"},
                                    {"127.0.0.1", bad, "p", "/f.txt"},
                                    {"127.0.0.1", "u", bad, "/f.txt"},
                                    {"127.0.0.1", "u", "p", "/f" + bad}};
  for (const auto& f : fields) {
    TakeNotedCauses();
    EXPECT_EQ(-1, Kvo_FtpGetFile(f[0], f[1], f[2], f[3], "unused-local-file", true));
    EXPECT_NE(std::string::npos, TakeNotedCauses().find("control character in the download field"))
        << f[0] << " " << f[1] << " " << f[3];
  }
}

}  // namespace
}  // namespace corvane
