// corvane-host settings: the dialog's nine settings from a terminal,
// through the dialog's model and its one durable write.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/process.h"

namespace corvane::testing {
namespace {

class SettingsCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = CopyInto(BuildDir() + "/tools/corvane-host/corvane-host", dir_.path());
    CopyInto(BuildDir() + "/src/api/libCorvaneApply.so", dir_.path());
    WriteFile(cfg_, "[HardWare]\r\nCom=5\r\n");
  }
  ProcessResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), host_);
    return RunProcess(args, dir_.path(), 30000, {{"LC_ALL", "C.UTF-8"}});
  }
  TempDir dir_;
  std::string host_;
  std::string cfg_ = dir_ / "TradeCfg.ini";
};

TEST_F(SettingsCommand, SetsSeveralAtOnceAndShowsAllNine) {
  ProcessResult r = Run({"settings", "com=3", "AREAID=0101", u8"NativeServer=前置机"});
  EXPECT_EQ(0, r.exit_code) << r.err;
  EXPECT_EQ("[HardWare]\r\nCom=3\r\nReadType=501\r\nCardType=501\r\nOpType=1\r\nbaud=9600\r\n\r\n"
            "[SYSTEM]\r\nLocalIP=\r\nNativeAddress=\r\nNativeServer=前置机\r\nAREAID=0101\r\n",
            ReadFile(cfg_));
  EXPECT_NE(std::string::npos, r.out.find(u8"SYSTEM/NativeServer=前置机\t(前置机服务名：)\n"));
  r = Run({"settings"});
  EXPECT_EQ(9, std::count(r.out.begin(), r.out.end(), '\n')) << r.out;
}

TEST_F(SettingsCommand, AnUnknownNameOrARefusedSaveChangesNothing) {
  ProcessResult r = Run({"settings", "Com=3", "Port=4"});
  EXPECT_EQ(2, r.exit_code);
  EXPECT_NE(std::string::npos, r.err.find("Port=4")) << r.err;
  std::filesystem::permissions(cfg_, std::filesystem::perms::owner_read);
  r = Run({"settings", "Com=3"});
  EXPECT_EQ(1, r.exit_code);
  EXPECT_NE(std::string::npos, r.out.find(u8"参数配置未能保存")) << r.out;
  std::filesystem::permissions(cfg_, std::filesystem::perms::owner_all);
  EXPECT_EQ("[HardWare]\r\nCom=5\r\n", ReadFile(cfg_));
}

}  // namespace
}  // namespace corvane::testing
