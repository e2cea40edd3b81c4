#include <gtest/gtest.h>

#include <cstring>

#include "common/error_codes.h"
#include "common/error_reply.h"
#include "common/frame.h"
#include "common/last_error.h"
#include "common/session_flag.h"

namespace corvane {
namespace {

TEST(CheckEntryPara, AcceptsFramedRequests) {
  for (const auto& [request, inside] : {std::pair{"$$a~b$$", "a~b"}, {"$$$$", ""}, {"$$a$$b$$", "a$$b"}}) {
    std::string content = "x";
    EXPECT_EQ(0, Kvo_CheckEntryPara(request, &content));
    EXPECT_EQ(inside, content);
  }
}

TEST(CheckEntryPara, RejectsUnframedRequestsAndKeepsContent) {
  for (const char* bad : {"$$$", "$a~b$$", "$$a~b$", "", "a~b", " $$a$$"}) {
    std::string content = "kept";
    Kvo_SetLastError(0, "");
    EXPECT_EQ(-1, Kvo_CheckEntryPara(bad, &content)) << bad;
    EXPECT_EQ("kept", content);
    EXPECT_EQ(kErrEntryPara, LastErrorCode());
    EXPECT_EQ("入口参数不符合条件(头：$$尾：$$),请联系his系统开发人员！", LastErrorMessage());
  }
}

TEST(MergeExportPara, TrimsHeadAndTailOnly) {
  std::string out;
  EXPECT_EQ(0, Kvo_MergeExportPara(" 0~a ", " $$", "$$ ", &out));
  EXPECT_EQ("$$ 0~a $$", out);
}

TEST(CheckInit, FollowsTheSessionFlag) {
  SetSessionInitialised(0);
  EXPECT_EQ(-1, Kvo_CheckInit());
  EXPECT_EQ(kErrNotInitialised, LastErrorCode());
  SetSessionInitialised(1);
  Kvo_SetLastError(5, "kept");
  EXPECT_EQ(0, Kvo_CheckInit());
  EXPECT_EQ(5, LastErrorCode()) << "success leaves the last error as it was";
  SetSessionInitialised(0);
}

// The standard body quotes the tag, the last error's code and message; a
// detail text, trimmed, replaces the body.
TEST(ErrorReply, StandardBodyFromTheLastErrorOrTheDetail) {
  SetSessionInitialised(0);
  Kvo_CheckInit();
  std::string reply;
  Kvo_MakeErrorReply("交易申请实现函数(f_UCApply):001", "", &reply);
  EXPECT_EQ(
      "$$-1~1050%%交易申请实现函数(f_UCApply):001%%-7003%%错误原因:调用交易前未做初始化，请先调用"
      "f_UserCorvaneInit函数！$$",
      reply);
  Kvo_SetLastError(0, "");
  Kvo_MakeErrorReply("交易申请实现函数(f_UCApply):016", "", &reply);
  EXPECT_EQ("$$-1~1050%%交易申请实现函数(f_UCApply):016%%0%%错误原因:$$", reply);
  Kvo_SetLastError(-7204, "ignored");
  Kvo_MakeErrorReply("tag", " \t-1~没有病人信息 \r\n", &reply);
  EXPECT_EQ("$$-1~没有病人信息$$", reply);
}

int g_closes = 0;
void CountClose() { ++g_closes; }

TEST(ErrorReply, ClosesTheCardSessionThroughTheInstalledCloser) {
  g_closes = 0;
  SetCardSessionCloser(&CountClose);
  std::string reply;
  Kvo_MakeErrorReply("t", "d", &reply);
  SetCardSessionCloser(nullptr);
  EXPECT_EQ(1, g_closes);
}

// The messages are GBK byte for byte, whatever the machine's code page: a
// wrong source or execution character set changes these bytes.  A few
// messages (ASCII inside, full-width punctuation) stand for the table.
TEST(ErrorTable, MessagesAreExactGbkBytes) {
  // "调用交易前未做初始化，请先调用f_UserCorvaneInit函数！"
  EXPECT_STREQ(ErrorMessage(-7003),
               "\xb5\xf7\xd3\xc3\xbd\xbb\xd2\xd7\xc7\xb0\xce\xb4\xd7\xf6\xb3\xf5\xca\xbc\xbb\xaf\xa3\xac"
               "\xc7\xeb\xcf\xc8\xb5\xf7\xd3\xc3\x66\x5f\x55\x73\x65\x72\x43\x6f\x72\x76\x61\x6e\x65\x49"
               "\x6e\x69\x74\xba\xaf\xca\xfd\xa3\xa1");
  // "读取配置文件tradecfg.ini发生错误，请仔细检查配置文件里的数字型参数！"
  EXPECT_STREQ(ErrorMessage(-7004),
               "\xb6\xc1\xc8\xa1\xc5\xe4\xd6\xc3\xce\xc4\xbc\xfe\x74\x72\x61\x64\x65\x63\x66\x67\x2e\x69"
               "\x6e\x69\xb7\xa2\xc9\xfa\xb4\xed\xce\xf3\xa3\xac\xc7\xeb\xd7\xd0\xcf\xb8\xbc\xec\xb2\xe9"
               "\xc5\xe4\xd6\xc3\xce\xc4\xbc\xfe\xc0\xef\xb5\xc4\xca\xfd\xd7\xd6\xd0\xcd\xb2\xce\xca\xfd"
               "\xa3\xa1");
  // "调用外部函数IC_OpenSession出错,请联系开发人员！"
  EXPECT_STREQ(ErrorMessage(-8001),
               "\xb5\xf7\xd3\xc3\xcd\xe2\xb2\xbf\xba\xaf\xca\xfd\x49\x43\x5f\x4f\x70\x65\x6e\x53\x65\x73"
               "\x73\x69\x6f\x6e\xb3\xf6\xb4\xed\x2c\xc7\xeb\xc1\xaa\xcf\xb5\xbf\xaa\xb7\xa2\xc8\xcb\xd4"
               "\xb1\xa3\xa1");
  EXPECT_STREQ(ErrorMessage(1), "");
}

TEST(ErrorTable, ComposedMessages) {
  // -7035 quotes the text and separator as given.
  EXPECT_EQ("执行get_field函数发生错误，不能从x%%y中取出以%%为分割符的第9个字符串，请联系开发人员！",
            GetFieldMessage("x%%y", "%%", 9));
  EXPECT_NE(std::string::npos, RemoteCallMessage("connect refused").find("connect refused"));
  // -7208, byte for byte (GBK written out independently of the compiler).
  EXPECT_EQ(std::string("\xc7\xb0\xd6\xc3\xb7\xfe\xce\xf1\xc6\xf7\xd2\xd1\xd6\xb4\xd0\xd0\xbd\xbb\xd2\xd7\x32\x37\xb2\xa2\xd2\xd1\xb7\xb5\xbb\xd8\xa3\xac\xb5\xab\xbd\xbb\xd2\xd7\xbd\xe1\xb9\xfb\xce\xb4\xc4\xdc\xbc\xc7\xc8\xeb\xbd\xbb\xd2\xd7\xc8\xd5\xd6\xbe\x54\x72\x61\x64\x65\x4c\x6f\x67\x2e\x69\x6e\x69\x28\xd4\xad\xd2\xf2\xbc\xfb\x6c\x6f\x67\x31\xc4\xbf\xc2\xbc\xcf\xc2\xb5\xc4\xd5\xef\xb6\xcf\xc8\xd5\xd6\xbe\x29\xa3\xac\xc7\xeb\xce\xf0\xd6\xd8\xd7\xf6\xb8\xc3\xbd\xbb\xd2\xd7\xa3\xac\xc7\xeb\xcf\xc8\xd3\xeb\xc7\xb0\xd6\xc3\xb7\xfe\xce\xf1\xc6\xf7\xba\xcb\xb6\xd4\xbd\xbb\xd2\xd7\xbd\xe1\xb9\xfb\xa3\xa1\xc7\xb0\xd6\xc3\xb7\xfe\xce\xf1\xc6\xf7\xb5\xc4\xb7\xb5\xbb\xd8\xd0\xc5\xcf\xa2\xd2\xd1\xb1\xa3\xb4\xe6\xd4\xda\x6c\x6f\x67\x31\x2f\x78\x2e\x74\x78\x74\xa1\xa3"),
            TradeNotRecordedMessage(27, "log1/x.txt"));
}

// A server's error text of any length is quoted in at most 512 bytes, cut
// between characters.
TEST(ErrorTable, RemoteCallMessageCapsTheQuotedCause) {
  const std::string prefix = RemoteCallMessage("");
  const std::string huge = "a" + std::string(8 << 20, '\xb0');  // "a" then 4 MiB characters
  const std::string m = RemoteCallMessage(huge);
  EXPECT_EQ(prefix.size() - 1 + 511 + 3 + 1, m.size());  // "a" + 255 characters + "..."
  EXPECT_EQ(m.substr(m.size() - 5), "\xb0...)");
  EXPECT_EQ(RemoteCallMessage(std::string(512, 'x')).size(), prefix.size() + 512);
}

}  // namespace
}  // namespace corvane
