// A transaction that the front end carried out while the journal refused
// the write recording it (a full disk: a preloaded library refuses that one
// rename onto TradeLog.ini): the host gets -7208 with the front end's reply,
// the reply is kept whole in log1/, and the next transaction reports the
// unfinished one.
#include "flow/flow_fixture.h"

#include "common/error_codes.h"
#include "common/error_reply.h"

namespace corvane::flowtest {
namespace {

const std::string kTag = "交易申请实现函数(f_UCApply):019";

class Unrecorded : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    Answer(21, InitReply({ParamLine(27, 6, Flags("0000001")), ParamLine(31, 6, Flags("0000001"))}));
    Answer(27, "0~ok~0~f4~f5~f6~done");
    Answer(31, "0~ok~0~f4~f5~f6");
    Answer(49, "0~noted");
  }
  // Refuses the first write of TradeLog.ini whose new content holds new_has
  // and whose replaced content holds old_has.
  void RefuseJournalWrite(const std::string& new_has, const std::string& old_has = "") {
    Preload("refuse_rename", {{"CORVANE_REFUSE_ONTO", "/TradeLog.ini"},
                              {"CORVANE_REFUSE_IF_NEW_HAS", new_has},
                              {"CORVANE_REFUSE_IF_OLD_HAS", old_has}});
  }
  static std::string Expected(int trade_no, const std::string& kept, const std::string& tail) {
    return "$$" + ErrorBody(kTag, kErrTradeNotRecorded, TradeNotRecordedMessage(trade_no, kept)) +
           tail + "$$";
  }
};

TEST_F(Unrecorded, AnsweredCallWhoseJournalWriteIsRefusedGives7208WithTheReply) {
  RefuseJournalWrite("Ybzt=1");
  auto r = Session({{"apply", "27", "12345", kRequest}, {"apply", "31", "777", kRequest}});
  const std::string kept = KeptReplyFile(r[0].text);
  ASSERT_FALSE(kept.empty()) << r[0].text;
  EXPECT_EQ(Failed(Expected(27, kept, "~0~ok~0~f4~f5~f6~done")), r[0]);
  EXPECT_EQ("0~ok~0~f4~f5~f6~done", corvane::testing::ReadFile(*dir_ / kept));
  const std::string log = DiagnosticsLog();
  EXPECT_NE(std::string::npos,
            log.find("[" + kTag + "] -7208 journal not written: Unable to write to " +
                     dir_->path() + "/TradeLog.ini: No space left on device (errno 28); "
                     "front end reply of 20 bytes kept whole in " + kept)) << log;
  // Section 000 still shows the transaction as started, so the next one
  // reports it with the call's outcome unknown, then runs.
  EXPECT_EQ((std::vector<std::string>{"27:0~c~0~ex~p5~p6~", "49:~~~~27~12345~~~~~~",
                                      "31:0~c~0~ex~p5~p6~"}),
            Sent());
  EXPECT_EQ(Ok("$$0~ok~0~f4~f5$$"), r[1]);
}

// The card already holds the reply's card data when the journal refuses to
// record that write: -7208 as well, never a bare internal error.
TEST_F(Unrecorded, RefusedRecordOfTheCardWriteGives7208) {
  Answer(21, InitReply({ParamLine(33, 6, Flags("0101001"))}));
  const std::string reply = "0~ok~1~f4~" + Card('B') + "%%20~f6~x";
  Answer(33, reply);
  PutCard(Card('A'));
  RefuseJournalWrite("Iczt=1");
  const Reply r = Apply(33, "5", kCardRequest);
  EXPECT_EQ(Failed(Expected(33, KeptReplyFile(r.text), "~" + reply)), r);
  EXPECT_EQ(Card('B'), CardOnFile());
  EXPECT_EQ("33|5|1|", Pending());
}

// The reply that would not fit the stated buffer is left out of the error
// reply; the file keeps it.
TEST_F(Unrecorded, ReplyLeftOutWhenTheStatedBufferIsTooSmall) {
  const std::string big = "0~ok~0~f4~f5~f6~" + std::string(5000, 'R');
  Answer(27, big);
  SetIni("TradeCfg.ini", "SYSTEM", "ReplyBufferSize", "4096");
  RefuseJournalWrite("Ybzt=1");
  StartFrontEnd();
  auto r = HostWith({"--buffer", "4096"}, {{"init"}, {"apply", "27", "1", kRequest}});
  ASSERT_EQ(2u, r.size()) << last_host_output_;
  const std::string kept = KeptReplyFile(r[1].text);
  EXPECT_EQ(Expected(27, kept, ""), r[1].text);
  EXPECT_EQ(big, corvane::testing::ReadFile(*dir_ / kept));
}

// The report of the unfinished transaction was carried out but section 000
// could not be emptied: -7208 for transaction 49, and the transaction asked
// for is not sent.
TEST_F(Unrecorded, AnsweredReportWhoseJournalWriteIsRefusedGives7208) {
  RefuseJournalWrite("Ybzt=\r\n", "Ybzt=1");
  auto r = Session({{"apply", "27", "12345", kRequest}, {"apply", "31", "777", kRequest}});
  EXPECT_EQ(0, r[0].status) << r[0].text;
  EXPECT_EQ(Failed(Expected(49, KeptReplyFile(r[1].text), "~0~noted")), r[1]);
  EXPECT_EQ((std::vector<std::string>{"27:0~c~0~ex~p5~p6~", "49:~~~~27~12345~~~1~~~"}), Sent());
  EXPECT_EQ("27|12345|1|", Pending());
}

}  // namespace
}  // namespace corvane::flowtest
