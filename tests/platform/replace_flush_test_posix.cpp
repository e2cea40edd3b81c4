// A replaced file survives a power cut only when its data is flushed before
// the rename and the directory entry after it.  This program defines fsync
// itself, so every flush of the durable replace passes through here and is
// recorded before the system's fsync runs.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "support/temp_dir.h"

namespace {

struct Flush {
  bool directory;
  ino_t inode;
  std::string target_content;  // what the target held at that moment
};

std::vector<Flush>* g_flushes = nullptr;
std::string g_target;

}  // namespace

extern "C" int fsync(int fd) {
  using Fn = int (*)(int);
  static Fn real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "fsync"));
  if (g_flushes) {
    struct stat st {};
    fstat(fd, &st);
    g_flushes->push_back({S_ISDIR(st.st_mode), st.st_ino, corvane::testing::ReadFile(g_target)});
  }
  return real(fd);
}

namespace corvane {
namespace {

TEST(ReplaceFlush, FileFlushedBeforeTheRenameAndDirectoryAfterIt) {
  testing::TempDir dir;
  g_target = dir.file("TradeLog.ini");
  testing::WriteFile(g_target, "old");
  std::vector<Flush> flushes;
  g_flushes = &flushes;
  bool ok = platform::ReplaceFileDurably(g_target, "new content");
  g_flushes = nullptr;
  ASSERT_TRUE(ok);

  struct stat d {};
  ASSERT_EQ(stat(dir.path().c_str(), &d), 0);
  ASSERT_EQ(flushes.size(), 2u);
  EXPECT_FALSE(flushes[0].directory);
  EXPECT_EQ(flushes[0].target_content, "old") << "the data is flushed before the rename";
  EXPECT_TRUE(flushes[1].directory);
  EXPECT_EQ(flushes[1].inode, d.st_ino) << "the target's own directory is flushed";
  EXPECT_EQ(flushes[1].target_content, "new content") << "the directory is flushed after the rename";
}

TEST(ReplaceFlush, RelativePathFlushesTheWorkingDirectory) {
  testing::TempDir dir;
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  g_target = dir.file("TradeCfg.ini");
  std::vector<Flush> flushes;
  g_flushes = &flushes;
  bool ok = platform::ReplaceFileDurably("TradeCfg.ini", "x");
  g_flushes = nullptr;
  ASSERT_EQ(chdir(cwd), 0);
  ASSERT_TRUE(ok);
  struct stat d {};
  ASSERT_EQ(stat(dir.path().c_str(), &d), 0);
  ASSERT_EQ(flushes.size(), 2u);
  EXPECT_TRUE(flushes[1].directory);
  EXPECT_EQ(flushes[1].inode, d.st_ino);
}

}  // namespace
}  // namespace corvane
