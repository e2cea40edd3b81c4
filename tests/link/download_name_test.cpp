#include <gtest/gtest.h>

#include "common/diagnostics.h"
#include "link/reply_check.h"
#include "link/reply_download.h"

namespace corvane {
namespace {

// The text after the last "/", "\\" or ":"; a separator byte inside a GBK
// character ("\x81\x5c") is none, and a lead byte before a separator does
// not hide it ("/" and ":" are never the second byte of a character).
TEST(DownloadFileName, TextAfterTheLastSeparator) {
  const std::pair<std::string, std::string> cases[] = {
      {"/data/out/f1.txt", "f1.txt"}, {"data\\out\\f2.txt", "f2.txt"}, {"c:f3.txt", "f3.txt"},
      {"a/b\\c:d/e.txt", "e.txt"},   {"plain.txt", "plain.txt"},      {"dir/", ""},
      {"/out/\x81\x5c\xb1\xed.txt", "\x81\x5c\xb1\xed.txt"},    {"报表.txt", "报表.txt"},
      {"ut\xdb\x8a\x8b/\xd0" "a.txt", "\xd0" "a.txt"},         {"out\x81/..\x81/f.txt", "f.txt"},
      {"c\xfe:f.txt", "f.txt"},
  };
  for (const auto& [path, name] : cases) EXPECT_EQ(DownloadFileName(path), name) << path;
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
