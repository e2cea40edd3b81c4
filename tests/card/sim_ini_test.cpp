// The simulator's settings parser.
#include <gtest/gtest.h>

#include "sim_ini.h"

namespace iccsim {
namespace {

TEST(SimIni, SectionsAndKeysMatchRegardlessOfCase) {
  IniText ini("[Card]\r\nDataFile = a.dat \r\n[FAIL]\nic_getdata=3\n");
  EXPECT_EQ(ini.Text("card", "DATAFILE", "d"), "a.dat");
  EXPECT_EQ(ini.Integer("Fail", "IC_GetData", 0), 3);
  EXPECT_EQ(ini.Integer("Fail", "IC_SaveData", 0), 0);
}

TEST(SimIni, CommentsBadLinesAndDuplicates) {
  IniText ini("; note\n#x=1\n[s]\nnoequals\n=v\nk=first\nk=second\nn=12x\nbig=99999999999\n");
  EXPECT_EQ(ini.Text("s", "k", ""), "first");
  EXPECT_EQ(ini.Text("", "#x", "none"), "none");
  EXPECT_EQ(ini.Integer("s", "n", 4), 4);
  EXPECT_EQ(ini.Integer("s", "big", 4), 4);
  EXPECT_EQ(ini.Text("s", "missing", "def"), "def");
}

TEST(SimIni, KeyWithEmptyValueIsNotMissing) {
  IniText ini("[s]\nk=\n");
  EXPECT_EQ(ini.Text("s", "k", "def"), "");
  EXPECT_EQ(ini.Integer("s", "k", 7), 7);
}

TEST(SimIni, OnlyTheFirstPartOfAHugeFileIsRead) {
  std::string bytes = "[s]\nk=v\n" + std::string(kMaxIniBytes, ' ') + "\nlate=1\n";
  IniText ini(bytes);
  EXPECT_EQ(ini.Text("s", "k", ""), "v");
  EXPECT_EQ(ini.Text("s", "late", "none"), "none");
}

}  // namespace
}  // namespace iccsim
