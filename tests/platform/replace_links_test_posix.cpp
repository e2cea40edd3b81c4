// A durable replace keeps what the administrator set up: the file's mode,
// and a symbolic link in place of the file (the file it names is written).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/files.h"
#include "support/temp_dir.h"

namespace corvane {
namespace {

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

bool IsLink(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

TEST(ReplaceKeeps, TheFilesMode) {
  testing::TempDir dir;
  const std::string path = dir.file("TradeCfg.ini");
  for (mode_t mode : {0600, 0664, 0640, 0200}) {
    testing::WriteFile(path, "old");
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(platform::ReplaceFileDurably(path, "new"));
    EXPECT_EQ(ModeOf(path), mode) << std::oct << mode;
    EXPECT_EQ(testing::ReadFile(path), "new");
    chmod(path.c_str(), 0600);
  }
}

TEST(ReplaceKeeps, SymbolicLinksAndWritesTheFileTheyName) {
  testing::TempDir dir;
  ASSERT_EQ(mkdir(dir.file("shared").c_str(), 0755), 0);
  const std::string real = dir.file("shared/TradeCfg.ini");
  testing::WriteFile(real, "old");
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  // Relative link to an absolute link to the file.
  const std::string middle = dir.file("middle.ini");
  const std::string link = dir.file("TradeCfg.ini");
  ASSERT_EQ(symlink(real.c_str(), middle.c_str()), 0);
  ASSERT_EQ(symlink("middle.ini", link.c_str()), 0);

  ASSERT_TRUE(platform::ReplaceFileDurably(link, "new"));
  EXPECT_TRUE(IsLink(link));
  EXPECT_TRUE(IsLink(middle));
  EXPECT_EQ(testing::ReadFile(real), "new");
  EXPECT_EQ(ModeOf(real), 0640u);
}

TEST(ReplaceKeeps, ALinkToAFileNotYetWrittenCreatesThatFile) {
  testing::TempDir dir;
  const std::string real = dir.file("TradeLog.ini");
  const std::string link = dir.file("journal.ini");
  ASSERT_EQ(symlink("TradeLog.ini", link.c_str()), 0);
  ASSERT_TRUE(platform::ReplaceFileDurably(link, "first"));
  EXPECT_TRUE(IsLink(link));
  EXPECT_EQ(testing::ReadFile(real), "first");
}

}  // namespace
}  // namespace corvane
