// Downloads named by replies, against a real FTP server (pyftpdlib on a
// loopback address, port 21), through libcurl on Linux and through WinInet
// in each Windows build under Wine (a run of its own per build).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ftp_server.h"
#include "link_probe_runner.h"

namespace corvane::testing {
namespace {

const char kUser[] = "counter";
const char kPassword[] = "pw-5511";

class FtpDownload : public ::testing::TestWithParam<ProbeKind> {
 protected:
  void SetUp() override {
    probe_ = std::make_unique<LinkProbe>(GetParam());
    if (!probe_->available()) GTEST_SKIP() << "the Windows build of link-probe is not available";
  }

  // Each test has its own address: 127.0.0.40.. for Linux, .51.. for Wine.
  std::unique_ptr<FtpServer> StartServer(int index) {
    std::string address = GetParam() == ProbeKind::kLinux ? "127.0.0." + std::to_string(40 + index)
                                                          : WineAddress(51 + index);
    auto server = std::make_unique<FtpServer>(address, kUser, kPassword);
    EXPECT_TRUE(server->ready()) << "pyftpdlib did not start";
    return server;
  }

  static std::string Field(const FtpServer& s, const std::string& remote,
                           const std::string& user = kUser,
                           const std::string& password = kPassword) {
    return s.address() + "%%" + user + "%%" + password + "%%" + remote;
  }

  std::map<std::string, std::string> Check(int trade_no, const std::string& reply) {
    auto out = probe_->Run({"check", std::to_string(trade_no), Hex(reply)});
    EXPECT_EQ(out["exit"], "0") << out["stderr"];
    return out;
  }

  std::string Downloaded(const std::string& name) const {
    return probe_->HostFile("down/" + name);
  }

  std::unique_ptr<LinkProbe> probe_;
};

TEST_P(FtpDownload, FetchesOneFileInAsciiActiveModeAndDeletesItOnTheServer) {
  auto server = StartServer(0);
  server->Put("data/out/f1.txt", "line one\nline two\n");
  std::string reply = "0~a~b~" + Field(*server, "/data/out/f1.txt") + "~tail";
  auto out = probe_->Run({"down", Hex(reply), "4"});
  ASSERT_EQ(out["exit"], "0") << out["stderr"];
  EXPECT_EQ(out["result"], "0");
  EXPECT_EQ(Unhex(out["reduced"]), "0~a~b~tail");
  // ASCII type: lines arrive in the client platform's own convention.
  ASSERT_TRUE(PathExists(Downloaded("f1.txt")));
  EXPECT_EQ(ReadFile(Downloaded("f1.txt")), GetParam() == ProbeKind::kLinux
                                                ? "line one\nline two\n"
                                                : "line one\r\nline two\r\n");
  EXPECT_FALSE(server->Has("data/out/f1.txt"));
  std::string log = server->Log();
  EXPECT_NE(log.find("PORT "), std::string::npos) << log;
  EXPECT_EQ(log.find("PASV"), std::string::npos) << log;
  EXPECT_NE(log.find("TYPE A"), std::string::npos) << log;
  EXPECT_NE(log.find("RETR /data/out/f1.txt"), std::string::npos) << log;
}

// Transaction 215 fetches the fields at four and six of the reply (five
// once the first is cut); a second download failing keeps the first file.
TEST_P(FtpDownload, Trade215FetchesTwoFields) {
  auto server = StartServer(1);
  for (const char* name : {"a1.txt", "a2.txt", "b1.txt", "b2.txt", "b3.txt", "e1.txt"}) server->Put(name, name);
  EXPECT_EQ(Check(215, "0~x~y~" + Field(*server, "a1.txt") + "~z~" + Field(*server, "a2.txt") + "~w")["result"],
            "0");
  EXPECT_EQ(ReadFile(Downloaded("a1.txt")) + ReadFile(Downloaded("a2.txt")), "a1.txta2.txt");
  EXPECT_FALSE(server->Has("a1.txt") || server->Has("a2.txt"));
  EXPECT_EQ(Check(215, "0~x~y~" + Field(*server, "b1.txt") + "~" + Field(*server, "b2.txt") + "~" +
                           Field(*server, "b3.txt"))["result"], "0");
  EXPECT_TRUE(PathExists(Downloaded("b1.txt")) && PathExists(Downloaded("b3.txt")));
  EXPECT_FALSE(PathExists(Downloaded("b2.txt")));
  EXPECT_TRUE(server->Has("b2.txt"));
  EXPECT_FALSE(server->Has("b3.txt"));
  EXPECT_EQ(Check(215, "0~x~y~" + Field(*server, "e1.txt") + "~z~" + Field(*server, "e2.txt"))["result"], "-1");
  EXPECT_EQ(ReadFile(Downloaded("e1.txt")), "e1.txt");
  EXPECT_FALSE(server->Has("e1.txt"));
}

// Every refused download leaves the file on the server and none here: a
// missing remote file and wrong credentials fail with the server's answer
// as cause (the password masked); a field of five or three sub-fields, a
// status other than "0" and an unusable download directory fetch nothing.
TEST_P(FtpDownload, RefusedDownloadsLeaveTheFileOnTheServer) {
  auto server = StartServer(2);
  server->Put("c1.txt", "payload");
  auto out = probe_->Run({"down", Hex("0~a~b~" + Field(*server, "/nothing/here.txt")), "4"});
  EXPECT_EQ(out["result"], "-1");
  EXPECT_EQ(out["reduced"], Hex("(untouched)"));
  std::string causes = Unhex(out["causes"]);
  EXPECT_NE(causes.find("FTP " + server->address() + " user counter password *** file "
                        "/nothing/here.txt: server answered \"550 "), std::string::npos) << causes;
  out = Check(201, "0~a~b~" + Field(*server, "c1.txt", kUser, "wrong-pw-77"));
  EXPECT_EQ(out["result"], "-1");
  causes = Unhex(out["causes"]);
  EXPECT_NE(causes.find("password *** file c1.txt: server answered \"530 "), std::string::npos) << causes;
  EXPECT_EQ(causes.find("wrong-pw-77"), std::string::npos) << causes;
  const std::string rest = "~a~b~" + Field(*server, "c1.txt");
  const std::pair<std::string, const char*> refused[] = {
      {"0~a~b~" + Field(*server, "c1.txt") + "%%extra", "-1"},
      {"0~a~b~" + server->address() + "%%" + kUser + "%%c1.txt", "-1"},
      {"1" + rest, "1"}, {"00" + rest, "1"}, {rest, "-1"}, {" 0" + rest, "-1"}, {"", "-1"}};
  for (const auto& [reply, result] : refused) EXPECT_EQ(Check(201, reply)["result"], result) << reply;
  EXPECT_EQ(Check(202, "0" + rest)["result"], "0");  // no download for 202
  std::filesystem::remove_all(probe_->HostFile("down"));
  WriteFile(probe_->HostFile("down"), "a file where the directory belongs");
  EXPECT_EQ(Check(201, "0" + rest)["result"], "-1");
  EXPECT_TRUE(server->Has("c1.txt"));
  EXPECT_FALSE(PathExists(Downloaded("c1.txt")));
}

TEST_P(FtpDownload, NoServerAtTheAddressFailsWithTheClientsErrorAsCause) {
  // Nothing listens on these addresses (127.0.0.160 to .169 are the
  // diagnostics tests').
  const std::string address = GetParam() == ProbeKind::kLinux ? "127.0.0.161" : "127.0.0.162";
  auto out = Check(201, "0~a~b~" + address + "%%u%%p%%f.txt");
  EXPECT_EQ(out["result"], "-1");
  const std::string causes = Unhex(out["causes"]);
  const std::string what = "FTP " + address + " user u password *** file f.txt: ";
  EXPECT_EQ(causes.find(what), 0u) << causes;
  EXPECT_GT(causes.size(), what.size());
}

// An existing local file is replaced; a remote path with backslashes is
// sent as given.
TEST_P(FtpDownload, LocalFileReplacedAndRemotePathSentAsGiven) {
  auto server = StartServer(3);
  server->Put("g1.txt", "new");
  server->Put("in\\h2.txt", "odd name");  // one file whose name holds a backslash
  std::string dir = probe_->HostFile("down");
  ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
  WriteFile(dir + "/g1.txt", "an older and longer content");
  EXPECT_EQ(Check(213, "0~a~b~" + Field(*server, "g1.txt"))["result"], "0");
  EXPECT_EQ(ReadFile(Downloaded("g1.txt")), "new");
  EXPECT_EQ(Check(201, "0~a~b~" + Field(*server, "in\\h2.txt"))["result"], "0");
  EXPECT_EQ(ReadFile(Downloaded("h2.txt")), "odd name");
  EXPECT_FALSE(server->Has("in\\h2.txt"));
}

INSTANTIATE_TEST_SUITE_P(Clients, FtpDownload, ::testing::Values(ProbeKindOfThisRun()),
                         [](const ::testing::TestParamInfo<ProbeKind>& info) {
                           return info.param == ProbeKind::kLinux ? "Curl" : "WinInetUnderWine";
                         });

}  // namespace
}  // namespace corvane::testing
