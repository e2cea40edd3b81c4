// Our ini engine beside the system's profile functions: the same corpus of
// files is read (and written) through both, and every difference must be
// one of the deliberate ones listed in src/config/README.md.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "config/ini_file.h"
#include "support/temp_dir.h"

namespace corvane {
namespace {

struct Lookup {
  std::string section;
  std::string key;
};

struct Case {
  const char* name;
  std::string text;
  std::vector<Lookup> lookups;
};

const std::string kLong2047(2047, 'v');
const std::string kLong2048(2048, 'w');

std::vector<Case> Corpus() {
  std::vector<Case> c;
  c.push_back({"plain", "[HardWare]\r\nCom=5\r\nbaud=9600\r\n[SYSTEM]\r\nLocalIP=10.1.1.1\r\n",
               {{"HardWare", "Com"}, {"hardware", "BAUD"}, {"SYSTEM", "LocalIP"},
                {"SYSTEM", "Missing"}, {"Nope", "Com"}}});
  c.push_back({"gbk", "[系统]\r\n名称=医院收费处\r\n地址 = 北京 \r\n",
               {{"系统", "名称"}, {"系统", "地址"}}});
  c.push_back({"spacing", "  [ S ]  \r\n  a  =  x y  \r\n\tb\t=\tz\t\r\nc=\r\nd =\r\n",
               {{"S", "a"}, {"S", "b"}, {"S", "c"}, {"S", "d"}, {" S ", "a"}}});
  c.push_back({"quotes",
               "[Q]\r\nd=\"dq\"\r\ns='sq'\r\nm=\"mixed'\r\np= \" in \" \r\nn=\"\"x\"\"\r\none=\"\r\n"
               "inner=a\"b\"\r\n",
               {{"Q", "d"}, {"Q", "s"}, {"Q", "m"}, {"Q", "p"}, {"Q", "n"}, {"Q", "one"},
                {"Q", "inner"}}});
  c.push_back({"duplicates", "[D]\r\nk=1\r\nk=2\r\n[E]\r\nk=3\r\n[d]\r\nk=4\r\nlate=5\r\n",
               {{"D", "k"}, {"D", "late"}, {"E", "k"}}});
  c.push_back({"comments", "; top\r\n[C]\r\n;k=hidden\r\nk=shown ; not a comment\r\n",
               {{"C", "k"}, {"C", ";k"}}});
  c.push_back({"no_final_break", "[N]\r\na=1\r\nb=2", {{"N", "a"}, {"N", "b"}}});
  c.push_back({"lf_only", "[L]\na=1\nb=2\n[M]\nc=3\n", {{"L", "b"}, {"M", "c"}}});
  c.push_back({"long_values", "[V]\r\nv2047=" + kLong2047 + "\r\nv2048=" + kLong2048 + "\r\n",
               {{"V", "v2047"}, {"V", "v2048"}}});
  c.push_back({"bare_key", "[B]\r\nbare\r\nx=1\r\n", {{"B", "bare"}, {"B", "x"}}});
  c.push_back({"before_section", "k=0\r\n[S]\r\nk=1\r\n", {{"S", "k"}}});
  c.push_back({"equals_in_value", "[E]\r\nk=a=b\r\n", {{"E", "k"}}});
  c.push_back({"integers",
               "[I]\r\ndec=42\r\nneg=-7\r\nhex=0x10\r\ndollar=$10\r\ntext=abc\r\nempty=\r\n"
               "mixed=12abc\r\n",
               {{"I", "dec"}, {"I", "neg"}, {"I", "hex"}, {"I", "dollar"}, {"I", "text"},
                {"I", "empty"}, {"I", "mixed"}}});
  return c;
}

struct Write {
  const char* name;
  std::string section, key, value;
};

std::vector<Write> Writes() {
  return {{"replace", "HardWare", "com", "7"},
          {"add_key", "HardWare", "OpType", "1"},
          {"add_section", "TUXEDO", "Perm", ""},
          {"gbk_value", "SYSTEM", "AREAID", "北京市"},
          {"empty_value", "SYSTEM", "LocalIP", ""}};
}

std::string OursRead(const std::string& path, const Lookup& l) {
  try {
    return IniReadString(path, l.section, l.key, "<default>");
  } catch (const IniReadError&) {
    return "<failed>";
  }
}

std::string SystemRead(const std::string& path, const Lookup& l) {
  std::vector<char> buf(2048);
  GetPrivateProfileStringA(l.section.c_str(), l.key.c_str(), "<default>", buf.data(),
                           static_cast<DWORD>(buf.size()), path.c_str());
  return buf.data();
}

std::string Show(const std::string& s) {
  return s.size() > 40 ? s.substr(0, 20) + "...(" + std::to_string(s.size()) + " bytes)" : s;
}

// Differences that are deliberate (see src/config/README.md), by the end of
// their case/section/key name.
bool IsDeliberate(const std::string& id) {
  static const char* const kEndings[] = {
      "/C/;k",         // ';' lines are comments in our engine, never keys
      "int/dollar",    // "$" hexadecimal integers
      "int/text",      // text that is no integer gives the default, not 0
      "int/mixed",     // "12abc" gives the default, not 12
  };
  for (const std::string end : kEndings) {
    if (id.size() >= end.size() && id.compare(id.size() - end.size(), end.size(), end) == 0) return true;
  }
  return false;
}

// Prints a difference; one that is not deliberate joins `unexpected`.
void Note(const char* kind, const std::string& id, const std::string& what,
          std::vector<std::string>* unexpected) {
  std::printf("%s difference %s: %s%s\n", kind, id.c_str(), what.c_str(),
              IsDeliberate(id) ? " (deliberate)" : "");
  if (!IsDeliberate(id)) unexpected->push_back(id + ": " + what);
}

TEST(IniCompare, ReadsAgreeWithTheSystem) {
  testing::TempDir dir;
  std::vector<std::string> unexpected;
  for (const Case& c : Corpus()) {
    std::string path = dir.file(std::string(c.name) + ".ini");
    testing::WriteFile(path, c.text);
    for (const Lookup& l : c.lookups) {
      std::string ours = OursRead(path, l);
      std::string sys = SystemRead(path, l);
      if (ours == sys) continue;
      Note("read", std::string(c.name) + "/" + l.section + "/" + l.key,
           "ours [" + Show(ours) + "] system [" + Show(sys) + "]", &unexpected);
    }
  }
  EXPECT_TRUE(unexpected.empty()) << unexpected.size() << " unexpected differences";
}

TEST(IniCompare, IntegersAgreeWithTheSystemExceptHexAndTrailingText) {
  testing::TempDir dir;
  std::string path = dir.file("int.ini");
  const Case c = Corpus().back();
  testing::WriteFile(path, c.text);
  std::vector<std::string> unexpected;
  for (const Lookup& l : c.lookups) {
    const int32_t ours = IniReadInteger(path, l.section, l.key, 5);
    int32_t sys = static_cast<int32_t>(
        GetPrivateProfileIntA(l.section.c_str(), l.key.c_str(), 5, path.c_str()));
    if (ours == sys) continue;
    Note("integer", "int/" + l.key, "ours " + std::to_string(ours) + " system " + std::to_string(sys),
         &unexpected);
  }
  EXPECT_TRUE(unexpected.empty()) << unexpected.size() << " unexpected differences";
}

TEST(IniCompare, WritesGiveFilesThatReadAlike) {
  testing::TempDir dir;
  std::vector<std::string> unexpected;
  for (const Case& c : Corpus()) {
    for (const Write& w : Writes()) {
      std::string ours_path = dir.file(std::string("o_") + c.name + "_" + w.name + ".ini");
      std::string sys_path = dir.file(std::string("s_") + c.name + "_" + w.name + ".ini");
      testing::WriteFile(ours_path, c.text);
      testing::WriteFile(sys_path, c.text);
      IniWriteString(ours_path, w.section, w.key, w.value);
      ASSERT_TRUE(WritePrivateProfileStringA(w.section.c_str(), w.key.c_str(), w.value.c_str(),
                                             sys_path.c_str()));
      WritePrivateProfileStringA(nullptr, nullptr, nullptr, sys_path.c_str());  // flush
      std::vector<Lookup> lookups = c.lookups;
      lookups.push_back({w.section, w.key});
      for (const Lookup& l : lookups) {
        // Each file read by both engines: the writers must agree with the
        // system's reader and with ours.
        std::string a = SystemRead(ours_path, l);
        std::string b = SystemRead(sys_path, l);
        std::string o = OursRead(ours_path, l);
        if (a == b && o == b) continue;
        Note("write", std::string("write/") + c.name + "/" + w.name + "/" + l.section + "/" + l.key,
             "system reads ours [" + Show(a) + "] theirs [" + Show(b) + "], ours reads ours [" +
                 Show(o) + "]",
             &unexpected);
      }
    }
  }
  EXPECT_TRUE(unexpected.empty()) << unexpected.size() << " unexpected differences";
}

}  // namespace
}  // namespace corvane
