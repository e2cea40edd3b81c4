// The real dialog on Linux (GTK 3, corvane-settings-dialog) driven on a
// virtual screen: the host program calls transaction 52 while the test
// types, clicks and closes like an operator.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <chrono>
#include <future>
#include <iostream>
#include <thread>

#include "support/process.h"
#include "ui/x_driver.h"

namespace corvane::testing {
namespace {

const std::string kOk = "0\t0~~~~\n";
const std::string kFile =
    "; workstation 3\r\n[HardWare]\r\nCom=3\r\nReadType=7\r\n[SYSTEM]\r\nLocalIP=\x81\x20x\r\n"
    "NativeServer=前置机\r\n";

class GtkDialog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { screen_ = new XScreen(":93"); }
  static void TearDownTestSuite() {
    delete screen_;
    screen_ = nullptr;
  }
  void SetUp() override {
    if (!screen_->running()) GTEST_SKIP() << "no Xvfb";
    const std::string b = BuildDir();
    for (const char* f : {"/tools/corvane-host/corvane-host", "/src/api/libCorvaneApply.so",
                          "/src/api/corvane-settings-dialog"})
      CopyInto(b + f, dir_.path());
    WriteFile(cfg_, kFile);
  }
  // Runs the host program with these arguments while the test drives.
  std::future<ProcessResult> Host(std::vector<std::string> args,
                                  std::vector<std::string> prefix = {}) {
    prefix.push_back(dir_ / "corvane-host");
    prefix.push_back("--raw");
    prefix.insert(prefix.end(), args.begin(), args.end());
    return std::async(std::launch::async, [this, prefix] {
      return RunProcess(prefix, dir_.path(), 60000, screen_->Env());
    });
  }
  void Replace(int edit, const std::string& text) {
    screen_->Click(EditX(edit), EditY(edit));
    screen_->Key("ctrl+a");
    screen_->Key("BackSpace");
    if (!text.empty()) screen_->Type(text);
  }
  static XScreen* screen_;
  TempDir dir_;
  std::string cfg_ = dir_ / "TradeCfg.ini";
};
XScreen* GtkDialog::screen_ = nullptr;

TEST_F(GtkDialog, TypedValuesAreSavedOnConfirm) {
  auto host = Host({"apply", "52", "0", "x"});
  std::string window = screen_->WaitForDialog();
  ASSERT_FALSE(window.empty());
  EXPECT_EQ("142,221 471x285", screen_->Geometry(window));
  Replace(0, "COM7");
  // Chinese text shown and edited (xdotool types ASCII reliably only).
  screen_->Click(EditX(7), EditY(7));
  screen_->Key("End");
  screen_->Type("2");
  Replace(8, "0101");
  const std::string picture = PictureDir() + "/settings-dialog-gtk.png";
  EXPECT_TRUE(screen_->Picture(picture));
  std::cout << "picture: " << picture << "\n";
  screen_->Click(kConfirmX, kButtonY);
  ProcessResult r = host.get();
  EXPECT_EQ(kOk, r.out) << r.err;
  EXPECT_EQ("; workstation 3\r\n[HardWare]\r\nCom=COM7\r\nReadType=7\r\nCardType=501\r\n"
            "OpType=1\r\nbaud=9600\r\n[SYSTEM]\r\nLocalIP=\x81\x20x\r\nNativeServer=前置机2\r\n"
            "NativeAddress=\r\nAREAID=0101\r\n",
            ReadFile(cfg_));
}

TEST_F(GtkDialog, CancelAndCloseBoxLeaveTheFileAsItWasTwiceInOneProcess) {
  auto host = Host({"apply", "52", "0", "x", "--", "apply", "52", "0", "x"});
  const std::string first = screen_->WaitForDialog();
  ASSERT_FALSE(first.empty());
  const std::string first_pid = screen_->Pid(first);
  Replace(0, "9");
  screen_->Key("Return");  // no default button
  screen_->Key("Escape");  // no cancel button
  EXPECT_TRUE(screen_->DialogShown());
  screen_->Key("alt+c");
  std::string window = screen_->WaitForDialog(20000, first_pid);
  ASSERT_FALSE(window.empty());
  Replace(5, "10.0.0.9");
  // A close request that reaches the window before it is ready to take it is
  // lost; ask again until the host answers.
  screen_->CloseBox(window);
  for (int i = 0; i < 10 && host.wait_for(std::chrono::seconds(3)) != std::future_status::ready; ++i) {
    screen_->CloseBox(window);
  }
  ProcessResult r = host.get();
  EXPECT_EQ(kOk + kOk, r.out) << r.err;
  EXPECT_EQ(kFile, ReadFile(cfg_));
}

TEST_F(GtkDialog, AnEmptiedEditIsSavedEmptyAndUntouchedBytesStay) {
  auto host = Host({"apply", "52", "0", "x"});
  ASSERT_FALSE(screen_->WaitForDialog().empty());
  Replace(1, "");
  screen_->Key("alt+s");
  ProcessResult r = host.get();
  EXPECT_EQ(kOk, r.out) << r.err;
  std::string file = ReadFile(cfg_);
  EXPECT_NE(std::string::npos, file.find("\r\nReadType=\r\n")) << file;
  EXPECT_NE(std::string::npos, file.find("\r\nLocalIP=\x81\x20x\r\n")) << file;
}

TEST_F(GtkDialog, ARefusedSaveFailsNamingTheFileAndChangesNothing) {
  // The folder is read-only.  Root writes anywhere, so the host runs
  // without the capability that overrides file permissions.
  std::filesystem::permissions(dir_.path(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  std::vector<std::string> prefix;
  if (geteuid() == 0) prefix = {"setpriv", "--bounding-set=-dac_override,-dac_read_search", "--"};
  auto host = Host({"apply", "52", "0", "x"}, prefix);
  ASSERT_FALSE(screen_->WaitForDialog().empty());
  Replace(0, "4");
  screen_->Click(kConfirmX, kButtonY);
  ProcessResult r = host.get();
  std::filesystem::permissions(dir_.path(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  EXPECT_EQ(0u, r.out.rfind("-1\t$$-1~1050%%交易申请实现函数(f_UCApply):018%%-7044%%错误原因:"
                            "参数配置未能保存：无法写入文件" + cfg_, 0))
      << r.out << r.err;
  EXPECT_EQ(kFile, ReadFile(cfg_));
}

TEST_F(GtkDialog, AHostUsingGtk2KeepsRunning) {
  // The dialog's GTK 3 runs in a process of its own: a host that has GTK 2
  // loaded is not aborted.
  const std::string host = CopyInto(BuildDir() + "/tests/ui/gtk2_host", dir_.path());
  auto run = std::async(std::launch::async, [&] {
    return RunProcess({host, dir_ / "libCorvaneApply.so"}, dir_.path(), 60000, screen_->Env());
  });
  std::string window = screen_->WaitForDialog(8000);
  if (window.empty()) {
    ProcessResult r = run.get();
    if (r.exit_code == 3) GTEST_SKIP() << "GTK 2 is not installed (libgtk2.0-0)";
    FAIL() << "no dialog; " << r.out << r.err;
  }
  Replace(4, "19200");
  screen_->Click(kConfirmX, kButtonY);
  ProcessResult r = run.get();
  EXPECT_EQ(0, r.exit_code) << r.err;
  EXPECT_EQ(kOk, r.out) << r.err;
  EXPECT_NE(std::string::npos, ReadFile(cfg_).find("\r\nbaud=19200\r\n"));
}

TEST_F(GtkDialog, WithoutADisplayTheCallFailsAndSaysSo) {
  ProcessResult r =
      RunProcess({dir_ / "corvane-host", "--raw", "apply", "52", "0", "x"}, dir_.path(), 60000,
                 {{"DISPLAY", ":94"}});  // nothing listens there
  EXPECT_EQ(0u, r.out.rfind("-1\t$$-1~1050%%交易申请实现函数(f_UCApply):018%%-7040%%", 0))
      << r.out << r.err;
  EXPECT_EQ(kFile, ReadFile(cfg_));
}

}  // namespace
}  // namespace corvane::testing
