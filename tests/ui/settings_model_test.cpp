// The settings dialog's model, without a screen: what is shown for a file,
// and what a confirmed dialog writes.
#include <gtest/gtest.h>

#include "config/ini_file.h"
#include "support/temp_dir.h"
#include "ui/settings_dialog.h"

namespace corvane {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

platform::FormResult Closed(std::vector<std::string> texts, std::vector<bool> changed) {
  platform::FormResult r;
  r.modal_result = kSettingsConfirm;
  r.texts = std::move(texts);
  r.changed = std::move(changed);
  return r;
}

TEST(SettingsModel, ShowsDefaultsOnlyForMissingKeysInTabOrder) {
  TempDir dir;
  std::vector<std::string> v;
  v = LoadSettings(dir / "TradeCfg.ini");  // no file at all
  EXPECT_EQ(v, (std::vector<std::string>{"2", "501", "501", "1", "9600", "", "", "", ""}));
  // Keys present with empty values (as session start creates them) show empty.
  WriteFile(dir / "TradeCfg.ini",
            "[HardWare]\r\nCom=\r\nReadType=7\r\ncardtype=\r\nbaud=\r\nOpType=3\r\n"
            "[SYSTEM]\r\nLocalIP=10.0.0.1\r\nNativeAddress=fe\r\nAREAID=0101\r\n");
  v = LoadSettings(dir / "TradeCfg.ini");
  EXPECT_EQ(v, (std::vector<std::string>{"", "7", "", "3", "", "10.0.0.1", "fe", "", "0101"}));
  EXPECT_EQ(SettingsForm(v).edits[8].text, "0101");
  EXPECT_EQ(SettingsForm(v).edits[1].left, 97);
}

TEST(SettingsModel, SavesTheNineValuesAsTypedKeepingTheRestOfTheFile) {
  TempDir dir;
  const std::string path = dir / "TradeCfg.ini";
  WriteFile(path, "; workstation 3\r\n[HardWare]\r\nCom=5\r\n[USERTRADE]\r\n21=21,5,x\r\n");
  std::vector<std::string> loaded;
  loaded = LoadSettings(path);
  auto values = EditedSettings(
      loaded, Closed({"abc", "", " 502 ", "1", "9600", "10.0.0.1", "前置机\r\n[SYSTEM]", "srv", ""},
                     {true, true, true, false, false, true, true, true, false}));
  SaveSettings(path, values);
  EXPECT_EQ(ReadFile(path),
            "; workstation 3\r\n[HardWare]\r\nCom=abc\r\nReadType=\r\nCardType= 502 \r\n"
            "OpType=1\r\nbaud=9600\r\n[USERTRADE]\r\n21=21,5,x\r\n\r\n[SYSTEM]\r\n"
            "LocalIP=10.0.0.1\r\nNativeAddress=前置机  [SYSTEM]\r\nNativeServer=srv\r\nAREAID=\r\n");
}

TEST(SettingsModel, AnUnchangedEditKeepsBytesTheScreenCannotShow) {
  // 0x81 0x20 is no GBK character: the screen shows a replacement, and
  // the operator did not touch that edit, so the original bytes are kept.
  std::vector<std::string> loaded{"\x81\x20x", "501", "501", "1", "9600", "", "", "", "\xff"};
  auto values = EditedSettings(loaded, Closed({"? x", "501", "501", "1", "9600", "", "", "", "?"},
                                              std::vector<bool>(9, false)));
  EXPECT_EQ(values, loaded);
  values = EditedSettings(loaded, Closed({"? x", "501", "501", "1", "9600", "", "", "", "新"},
                                         {false, false, false, false, false, false, false, false, true}));
  EXPECT_EQ(values[0], "\x81\x20x");
  EXPECT_EQ(values[8], "新");
}

TEST(SettingsModel, ARefusedSaveRaisesAndWritesNothing) {
  TempDir dir;
  const std::string path = dir.file("gone/TradeCfg.ini");
  std::vector<std::string> v;
  v = LoadSettings(path);
  EXPECT_THROW(SaveSettings(path, v), IniWriteError);
  EXPECT_FALSE(std::filesystem::exists(dir / "gone"));
  // A read-only file is left as it is, even for a user who could replace it.
  const std::string locked = dir / "TradeCfg.ini";
  WriteFile(locked, "[HardWare]\r\nCom=3\r\n");
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
  EXPECT_THROW(SaveSettings(locked, v), IniWriteError);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
  EXPECT_EQ("[HardWare]\r\nCom=3\r\n", ReadFile(locked));
}

}  // namespace
}  // namespace corvane
