// Transaction 52 where the dialog cannot appear: an error the operator can
// act on, the settings file untouched, and never a success.
#include <gtest/gtest.h>

#include "common/diagnostics.h"
#include "common/error_codes.h"
#include "common/last_error.h"
#include "platform/environment.h"
#include "support/temp_dir.h"
#include "ui/settings_dialog.h"

namespace corvane {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

class NoDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    display_ = platform::EnvironmentValue("DISPLAY");
    WriteFile(path_, "[HardWare]\nCom=3\n");
  }
  void TearDown() override { platform::SetEnvironmentValue("DISPLAY", display_); }
  std::string display_;
  TempDir dir_;
  std::string path_ = dir_ / "TradeCfg.ini";
};

TEST_F(NoDialog, WithoutADisplayTheCallFailsAndSaysSo) {
  platform::SetEnvironmentValue("DISPLAY", "");
  platform::SetEnvironmentValue("WAYLAND_DISPLAY", "");
  EXPECT_EQ(-1, Kvo_ShowSettingsDialogFor(path_));
  EXPECT_EQ(kErrDialogNoDisplay, LastErrorCode());
  EXPECT_EQ("[HardWare]\nCom=3\n", ReadFile(path_));
}

TEST_F(NoDialog, WithoutTheDialogProgramTheCallNamesIt) {
  // This test program has no corvane-settings-dialog beside it.
  platform::SetEnvironmentValue("DISPLAY", ":9999");
  EXPECT_EQ(-1, Kvo_ShowSettingsDialogFor(path_));
  EXPECT_EQ(kErrDialogProgram, LastErrorCode());
  EXPECT_NE(std::string::npos, LastErrorMessage().find("corvane-settings-dialog"));
  EXPECT_EQ("[HardWare]\nCom=3\n", ReadFile(path_));
}

TEST_F(NoDialog, AnUnreadableFileIsNamedBeforeAnythingIsShown) {
  std::filesystem::remove(path_);
  std::filesystem::create_directory(path_);
  SetDiagnosticsDirectory(dir_.path());
  EXPECT_EQ(-1, Kvo_ShowSettingsDialogFor(path_));
  SetDiagnosticsDirectory("");
  EXPECT_EQ(kErrDialogRead, LastErrorCode());
  EXPECT_NE(std::string::npos, LastErrorMessage().find(path_));
  // The diagnostics log has the system's words.
  std::string log;
  for (const auto& e : std::filesystem::directory_iterator(dir_ / "log1"))
    log += ReadFile(e.path().string());
  EXPECT_NE(std::string::npos,
            log.find("[settings dialog] -7043 Unable to read " + path_ + ": Is a directory (errno 21)"))
      << log;
}

}  // namespace
}  // namespace corvane
