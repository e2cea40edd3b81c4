// The diagnostics log: one escaped line per call, in its own dated file.
#include <gtest/gtest.h>

#include "common/diagnostics.h"
#include "common/error_reply.h"
#include "common/last_error.h"
#include "platform/clock.h"
#include "support/temp_dir.h"

namespace corvane {
namespace {

TEST(Diagnostics, EscapesEverythingThatCouldForgeALine) {
  EXPECT_EQ("a\\r\\nb\\0c\\td\\x1B\\x7F\\\\e", EscapeLogText(std::string("a\r\nb\0c\td\x1b\x7f\\e", 12)));
  // GBK text passes unchanged, trail bytes included.
  EXPECT_EQ("医保\x81\x5c", EscapeLogText("医保\x81\x5c"));
  // An invalid pair does not hide a line break behind a lead byte.
  EXPECT_EQ("\x81\\n", EscapeLogText("\x81\n"));
  EXPECT_EQ("\x81\\x7F", EscapeLogText("\x81\x7f"));
  EXPECT_EQ("***", MaskSecret("pw"));
  EXPECT_EQ("", MaskSecret(""));
}

std::string TodaysLog(const testing::TempDir& dir) {
  const platform::LocalTime now = platform::Now();
  return testing::ReadFile(dir / ("log1/" + DiagnosticsFileName(now.year, now.month, now.day)));
}

TEST(Diagnostics, AppendsOneLinePerCallToTheDatedFile) {
  testing::TempDir dir;
  SetDiagnosticsDirectory(dir.str());
  Kvo_WriteDiagnostic("初始化:001", -7104, "connect 127.0.0.9:211: refused\r\nforged");
  Kvo_WriteDiagnostic("card library", 0, "tried x");
  SetDiagnosticsDirectory("");
  const std::string text = TodaysLog(dir);
  const size_t first = text.find("\r\n");
  ASSERT_NE(std::string::npos, first);
  EXPECT_NE(std::string::npos,
            text.substr(0, first).find(" [初始化:001] -7104 connect 127.0.0.9:211: refused\\r\\nforged"));
  EXPECT_EQ(text.size(), text.find(" [card library] 0 tried x\r\n") + 27);
}

TEST(Diagnostics, AnErrorReplyWritesItsTagCodeAndTheNotedCausesOnce) {
  testing::TempDir dir;
  SetDiagnosticsDirectory(dir.str());
  Kvo_NoteCause("front end 127.0.0.5:211 server \"S\": cannot connect: refused");
  Kvo_NoteCause("second cause");
  Kvo_SetLastError(-7104, "msg");
  std::string reply;
  Kvo_MakeErrorReply("tag:004", "", &reply);
  // Nothing noted: the last error's message is the cause.  A front-end
  // reply as detail adds its status and text, never its later fields
  // (download fields name FTP passwords).
  Kvo_SetLastError(-7204, "remote failed");
  Kvo_MakeErrorReply("tag:011", "-1~no patient~h%%u%%secret%%/f", &reply);
  SetDiagnosticsDirectory("");
  EXPECT_EQ("$$-1~no patient~h%%u%%secret%%/f$$", reply);
  const std::string text = TodaysLog(dir);
  EXPECT_NE(text.find(" [tag:004] -7104 front end 127.0.0.5:211 server \"S\": cannot connect: "
                      "refused; second cause\r\n"),
            std::string::npos) << text;
  EXPECT_NE(text.find(" [tag:011] -7204 remote failed; reply: -1~no patient\r\n"),
            std::string::npos) << text;
  EXPECT_EQ(std::string::npos, text.find("secret"));
  EXPECT_EQ("", TakeNotedCauses());
}

// The line stays bounded and nothing is lost: an 8 MiB cause (a server's
// error text) is kept whole in a file that the line names; the causes
// after it are still noted.
TEST(Diagnostics, NotedCausesAreBoundedAndLongOnesKeptWholeInAFile) {
  testing::TempDir dir;
  SetDiagnosticsDirectory(dir.str());
  const std::string big(3000, 'x');
  Kvo_NoteCause(big);
  Kvo_NoteCause(big);
  EXPECT_EQ(big + "; " + big, TakeNotedCauses());
  const std::string huge = "a" + std::string(8 << 20, '\xb0');  // "a" then 4 MiB characters
  Kvo_NoteCause(huge);
  Kvo_NoteCause("after");
  const std::string noted = TakeNotedCauses();
  EXPECT_EQ(noted.substr(0, 4098), huge.substr(0, 4095) + "...");  // not a half character
  const size_t at = noted.find("(8388609 bytes, kept whole in log1/CorvaneCause");
  ASSERT_NE(std::string::npos, at) << noted.substr(4000);
  SetDiagnosticsDirectory("");
  const size_t name = noted.find("log1/", at);
  const std::string file = noted.substr(name, noted.find(".txt", name) + 4 - name);
  EXPECT_EQ(huge, testing::ReadFile(dir / file));
  EXPECT_EQ("; after", noted.substr(noted.size() - 7));
  EXPECT_LT(noted.size(), 4096u + 200u);
  // Many causes: the notes of one call stay within their bound.
  SetDiagnosticsDirectory(dir.str());
  for (int i = 0; i < 40; ++i) Kvo_NoteCause(big);
  SetDiagnosticsDirectory("");
  EXPECT_LT(TakeNotedCauses().size(), kMaxNotedCauseBytes + 40 * 200u);
}

}  // namespace
}  // namespace corvane
