// Transaction 52 before a session, during one and after its close, in one
// host process against the front-end simulator: the dialog appears each
// time and the session goes on untouched.
#include <gtest/gtest.h>

#include <future>

#include "flow/flow_fixture.h"
#include "ui/x_driver.h"

namespace corvane::flowtest {
namespace {

using corvane::testing::XScreen;

class DialogInSession : public FlowTest {
 protected:
  static void SetUpTestSuite() { screen_ = new XScreen(":91"); }
  static void TearDownTestSuite() {
    delete screen_;
    screen_ = nullptr;
  }
  void SetUp() override {
    if (!screen_->running()) GTEST_SKIP() << "no Xvfb";
    FlowTest::SetUp();
  }
  std::vector<std::string> HostFiles() override {
    std::vector<std::string> files = FlowTest::HostFiles();
    files.push_back(corvane::testing::BuildDir() + "/src/api/corvane-settings-dialog");
    return files;
  }
  std::vector<std::string> Wrap(const std::vector<std::string>& argv) override {
    std::vector<std::string> wrapped{"env", "DISPLAY=" + screen_->display()};
    wrapped.insert(wrapped.end(), argv.begin(), argv.end());
    return wrapped;
  }
  std::string NextAddress() override { return "127.0.0.69"; }
  static XScreen* screen_;
};
XScreen* DialogInSession::screen_ = nullptr;

TEST_F(DialogInSession, OpensBeforeDuringAndAfterASessionWithoutTouchingIt) {
  Answer(21, InitReply({}));
  Answer(250, "0~done~x~y~z~w~v");
  StartFrontEnd();
  auto operator_done = std::async(std::launch::async, [] {
    std::string pid;
    for (int i = 0; i < 3; ++i) {
      std::string window = screen_->WaitForDialog(30000, pid);
      if (window.empty()) return i;
      pid = screen_->Pid(window);
      if (i == 1) {  // during the session: confirm a new area number
        screen_->Click(corvane::testing::EditX(8), corvane::testing::EditY(8));
        screen_->Key("ctrl+a");
        screen_->Type("0202");
        screen_->Key("alt+s");
      } else {
        screen_->Key("alt+c");
      }
    }
    return 3;
  });
  auto r = Host({{"apply", "52", "0", "x"},
                 {"init"},
                 {"apply", "52", "0", "x"},
                 {"apply", "250", "2", "$$a~b$$"},
                 {"close"},
                 {"apply", "52", "0", "x"}});
  EXPECT_EQ(3, operator_done.get());
  EXPECT_EQ("0~~~~", r[0].text);
  EXPECT_EQ(0, r[1].status) << r[1].text;
  EXPECT_EQ("0~~~~", r[2].text);
  EXPECT_EQ("$$0~done~~~~$$", r[3].text);
  EXPECT_EQ(0, r[4].status) << r[4].text;
  EXPECT_EQ(0, r[5].status);
  EXPECT_EQ("0~~~~", r[5].text);
  EXPECT_EQ("0202", Ini("TradeCfg.ini", "SYSTEM", "AREAID"));
}

}  // namespace
}  // namespace corvane::flowtest
