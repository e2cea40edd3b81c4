// The diagnostics log of whole sessions: each failure leaves one line in
// log1/CorvaneDiag<date>.log with the step, the code the host saw and the
// cause the library knew.
#include "flow/flow_fixture.h"

#include <filesystem>

namespace corvane::flowtest {
namespace {

class DiagnosticsFlow : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    Answer(21, InitReply({ParamLine(28, 6, Flags("0100001")), ParamLine(250, 1, Flags("0000001"))}));
    Answer(49, "0~");
    PutCard(Card('A'));
  }

  // The one line that holds "[step] code"; fails the test unless there is
  // exactly one.
  std::string Line(const std::string& step, int code) {
    const std::string log = DiagnosticsLog();
    const std::string key = " [" + step + "] " + std::to_string(code) + " ";
    const size_t at = log.find(key);
    EXPECT_NE(std::string::npos, at) << key << " not in:\n" << log;
    if (at == std::string::npos) return "";
    EXPECT_EQ(std::string::npos, log.find(key, at + 1)) << "twice: " << key << "\n" << log;
    return log.substr(at + key.size(), log.find("\r\n", at) - at - key.size());
  }

  std::string FrontEndText() const {
    return "front end " + address_ + ":211 server \"CorvaneFront.Trade\": ";
  }
};

// The session stays closed: the next transaction fails as one before init.
TEST_F(DiagnosticsFlow, InitAgainstAClosedPortNamesTheAddressAndTheSocketError) {
  auto r = Host({{"init"}, {"apply", "250", "1", "$$a$$"}});
  EXPECT_EQ(Failed(InitError(":004", -7104)), r[0]);
  EXPECT_EQ(Failed(ApplyError(":001", -7003)), r[1]);
  const std::string cause = Line(kInitTag + ":004", -7104);
  EXPECT_EQ(0u, cause.find(FrontEndText() + "cannot connect: Windows socket error: ")) << cause;
  EXPECT_NE(std::string::npos, cause.find("on API 'connect'")) << cause;
}

TEST_F(DiagnosticsFlow, InitWithAnEmptyAddressOrAWrongServerNameSaysWhich) {
  StartFrontEnd();
  SetIni("TradeCfg.ini", "SYSTEM", "NativeServer", "Wrong.Server");
  Host({{"init"}});
  const std::string wrong = Line(kInitTag + ":004", -7104);
  EXPECT_EQ(0u, wrong.find("front end " + address_ + ":211 server \"Wrong.Server\": cannot connect: "))
      << wrong;
  SetIni("TradeCfg.ini", "SYSTEM", "NativeAddress", "");
  Host({{"init"}});
  EXPECT_NE(std::string::npos,
            DiagnosticsLog().find("[" + kInitTag + ":004] -7104 front end (NativeAddress empty):211 "
                           "server \"Wrong.Server\": cannot connect: No address specified\r\n"))
      << DiagnosticsLog();
}

TEST_F(DiagnosticsFlow, InitRefusedByTheFrontEndLogsItsStatusAndText) {
  Answer(21, "-1~area 0101 closed~~~~~~defs~versions");
  StartFrontEnd();
  auto r = Host({{"init"}});
  EXPECT_EQ(InitError(":004", -7104), r[0].text);
  EXPECT_EQ("reply: -1~area 0101 closed", Line(kInitTag + ":004", -7104));
}

// The connection's thread refused by the system: the host sees -7104 as
// ever, the line has the system's words.
TEST_F(DiagnosticsFlow, AConnectionThreadTheSystemRefusesIsLoggedWithItsWords) {
  Preload("refuse_thread");
  auto r = Host({{"init"}});
  EXPECT_EQ(InitError(":004", -7104), r[0].text);
  EXPECT_EQ(FrontEndText() + "cannot connect: Cannot start the connection's thread: "
                             "Resource temporarily unavailable (errno 11)",
            Line(kInitTag + ":004", -7104));
}

// Ini files that the system will not write or read: the host sees the codes
// it always saw, the line names the file and gives the system's words.
TEST_F(DiagnosticsFlow, IniFilesTheSystemRefusesAreLoggedWithItsWords) {
  const std::string cfg = *dir_ / "TradeCfg.ini";
  const std::string full = ": No space left on device (errno 28)";
  Preload("refuse_rename", {{"CORVANE_REFUSE_ONTO", "/TradeCfg.ini"},
                            {"CORVANE_REFUSE_IF_NEW_HAS", "[USERTRADE]"}});
  StartFrontEnd();
  auto r = Host({{"init"}});
  EXPECT_EQ(InitError(":004", -7034), r[0].text);
  EXPECT_EQ("Unable to write to " + cfg + full, Line(kInitTag + ":004", -7034));
  // The journal's first write of a card transaction, refused, reaches the export.
  Preload("refuse_rename", {{"CORVANE_REFUSE_ONTO", "/TradeLog.ini"},
                            {"CORVANE_REFUSE_IF_NEW_HAS", "TradeTypeID=28"}});
  Apply(28, "5", kCardRequest);
  EXPECT_EQ("Unable to write to " + *dir_ / "TradeLog.ini" + full,
            Line("动态库入口(f_UserCorvaneApply)", -7099));
  host_env_.clear();
  std::filesystem::remove(cfg);
  std::filesystem::create_directory(cfg);
  r = Host({{"init"}});
  EXPECT_EQ(InitError(".002", -7030), r[0].text);
  EXPECT_EQ("Unable to read " + cfg + ": Is a directory (errno 21)", Line(kInitTag + ".002", -7030));
}

TEST_F(DiagnosticsFlow, FailedDownloadLogs7204AndTheFtpCauseWithoutThePassword) {
  // Nothing listens on 127.0.0.165 (127.0.0.160 to .169 are the diagnostics
  // tests').
  Answer(201, "0~done~x~127.0.0.165%%clerk%%pw-secret-9%%/out/f.txt~y");
  auto r = Session({{"apply", "201", "1", "$$a$$"}});
  // The host gets the front end's reply with status -1.
  EXPECT_EQ(Failed("$$0~done~x~127.0.0.165%%clerk%%pw-secret-9%%/out/f.txt~y$$"), r[0]);
  const std::string cause = Line(kApplyTag + ":011", -7204);
  EXPECT_EQ(0u, cause.find("FTP 127.0.0.165 user clerk password *** file /out/f.txt: ")) << cause;
  EXPECT_NE(std::string::npos, cause.find("; reply: 0~done")) << cause;
  EXPECT_EQ(std::string::npos, DiagnosticsLog().find("pw-secret-9"));
}

TEST_F(DiagnosticsFlow, MissingCardLibraryKeeps7202AndNamesEveryFileTried) {
  corvane::testing::RunProcess({"rm", "-f", *dir_ / "libICCInter01046.so"}, dir_->path());
  EXPECT_EQ(ApplyError(":006", -7202), Apply(28, "5", kCardRequest).text);
  const std::string cause = Line(kApplyTag + ":006", -7202);
  EXPECT_EQ(0u, cause.find("card: -8001 card library not usable: " + *dir_ / "libICCInter01046.so" +
                           ": cannot load: ")) << cause;
  EXPECT_NE(std::string::npos, cause.find("; libICCInter01046.so: cannot load: ")) << cause;
}

// A card step the library refuses: -7202 for the host, the library's
// result in the log (a refused PIN or open with the code it records).
TEST_F(DiagnosticsFlow, RefusedCardStepKeeps7202AndLogsTheLibrarysResult) {
  const std::pair<const char*, std::string> refusals[] = {
      {"IC_PINVerify", "card: -8005 IC_PINVerify returned 7 (wrong PIN, or a card of another type)"},
      {"IC_OpenSession", "card: -8001 IC_OpenSession returned 7"},
      {"IC_GetData", "card: IC_GetData returned 7"}};
  for (const auto& [function, cause] : refusals) {
    TearDown();
    SetUp();
    FailCard(function, 7);
    EXPECT_EQ(ApplyError(":006", -7202), Apply(28, "5", kCardRequest).text);
    EXPECT_EQ(cause, Line(kApplyTag + ":006", -7202));
  }
}

TEST_F(DiagnosticsFlow, SettingThatFallsBackToItsDefaultIsNotedOncePerProcess) {
  SetIni("TradeCfg.ini", "HardWare", "baud", "fast");
  Answer(250, "0~done");
  auto r = Session({{"apply", "250", "1", "$$a$$"}, {"apply", "250", "2", "$$a$$"}});
  EXPECT_EQ(0, r[1].status) << r[1].text;
  EXPECT_EQ("HardWare/baud=\"fast\" is not a number: 9600 used", Line("TradeCfg.ini", 0));
}

}  // namespace
}  // namespace corvane::flowtest
