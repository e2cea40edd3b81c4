// A whole session with a Windows build under Wine (the x86_64 build under
// wine64, the i686 build with its i686 card simulator under 32-bit Wine):
// session start, a card transaction, a download transaction, close.
#include <filesystem>

#include "flow/flow_fixture.h"

namespace corvane::flowtest {
namespace {

class WineFlow : public FlowTest {
 protected:
  void SetUp() override {
    if (corvane::testing::WindowsBuildDir().empty()) GTEST_SKIP() << "no Windows build";
    FlowTest::SetUp();
  }
  // The card parameter record as the card library read it, by the offsets
  // of the vendor's layout: 76 bytes in the i686 product, 96 in x86_64.
  void ExpectVendorRecordLayout() {
    const std::string reserved(56, '0');
    const std::string expected =
        corvane::testing::WindowsTarget() == "win32"
            ? "0:501 4:501 8:5 12:9600 16:0 20:0 24:'907153' 28:'9133' 32:'127.0.0.1' 36:0 "
              "40:'ZeroUse!' 44:1 48:" + reserved + " size:76"
            : "0:501 4:501 8:5 12:9600 16:0 20:0 24:'907153' 32:'9133' 40:'127.0.0.1' 48:0 "
              "56:'ZeroUse!' 64:1 68:" + reserved + " size:96";
    int records = 0;
    for (const auto& call : CardCalls()) {
      if (call.fields.count("layout") == 0) continue;
      ++records;
      EXPECT_EQ(expected, call.fields.at("layout")) << call.function;
    }
    EXPECT_GE(records, 3) << "IC_OpenSession, IC_PINVerify and IC_CloseSession journal the record";
  }
};

TEST_F(WineFlow, SessionWithACardAndADownloadTransaction) {
  Answer(21, InitReply({ParamLine(33, 6, Flags("0101001"))}));
  Answer(33, "0~ok~1~f4~" + Card('B') + "%%20~f6~病人");
  Answer(49, "0~");
  Answer(250, "0~done~x~y~z~w~v");
  PutCard(Card('A'));
  auto r = Session({{"apply", "33", "12345", "$$1~c~0~ex~p5~p6$$", "附加"},
                    {"apply", "250", "2", "$$a~b$$"},
                    {"close"}});
  EXPECT_EQ(0, r[0].status) << r[0].text;
  EXPECT_EQ("$$0~ok~1~f4~" + Card('B') + "~病人$$", r[0].text);
  EXPECT_EQ("$$0~done~~~~$$", r[1].text);
  EXPECT_EQ("$$0~~$$", r[2].text);
  auto calls = FrontCalls();
  ASSERT_EQ(4u, calls.size());
  EXPECT_EQ("~~~~~1050,02.21.0101.04.1050%%1060,1.1.0.01.1", calls[0].request);
  EXPECT_EQ("1~" + Card('A') + "~0~ex~p5~p6~附加", calls[1].request);
  EXPECT_EQ(49, calls[2].trade_no);
  EXPECT_EQ("~~~~33~12345~~~1~1~0~", calls[2].request);
  EXPECT_EQ("a~b~", calls[3].request);
  EXPECT_EQ(Card('B'), CardOnFile());
  EXPECT_EQ("1~" + Card('A') + "~0~ex~p5~p6~附加", Ini("TradeLog.ini", "33", "InMsg"));
  ExpectVendorRecordLayout();
}

// A journal that is a symbolic link stays one: the durable replace writes
// the file it names.  (Wine 8 cannot create a Windows symbolic link, its
// CreateSymbolicLinkW creates nothing; a POSIX link is the link Wine
// shows, and GetFinalPathNameByHandle follows it as Windows follows one.)
TEST_F(WineFlow, JournalThatIsASymbolicLinkStaysALink) {
  Answer(21, InitReply({}));
  Answer(250, "0~done");
  std::filesystem::create_directory(*dir_ / "records");
  corvane::testing::WriteFile(*dir_ / "records/journal.ini", "[250]\r\nTradeId=1\r\n");
  std::filesystem::create_symlink("records/journal.ini", *dir_ / "TradeLog.ini");
  auto r = Session({{"apply", "250", "7", "$$a~b$$"}});
  EXPECT_EQ("$$0~done~~~~$$", r[0].text);
  EXPECT_TRUE(std::filesystem::is_symlink(*dir_ / "TradeLog.ini"));
  const std::string journal = corvane::testing::ReadFile(*dir_ / "records/journal.ini");
  EXPECT_NE(std::string::npos, journal.find("InMsg=a~b~")) << journal;
  EXPECT_NE(std::string::npos, journal.find("TradeId=7")) << journal;
}

}  // namespace
}  // namespace corvane::flowtest
