// Temporary files that killed writers left beside a file go at its next
// durable replace; those of writers still at work stay.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/other_process.h"
#include "support/temp_dir.h"

namespace corvane {
namespace {

std::string TempOf(const std::string& path, uint32_t writer, int n = 0) {
  return path + ".~" + std::to_string(writer) + "." + std::to_string(n) + ".tmp";
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

TEST(ReplaceTemps, DeadWritersTempsGoLiveWritersAndOtherFilesStay) {
  testing::TempDir dir;
  const std::string path = dir.file("TradeLog.ini");
  testing::WriteFile(path, "old");
  const uint32_t dead = testing::EndedProcessId();
  testing::RunningProcess live;
  const std::string stale1 = TempOf(path, dead, 0), stale2 = TempOf(path, dead, 17);
  const std::string busy = TempOf(path, live.id());
  const std::string other_file = TempOf(dir.file("TradeCfg.ini"), dead);
  const std::string not_ours = path + ".~" + std::to_string(dead) + ".bak";
  for (const std::string& f : {stale1, stale2, busy, other_file, not_ours}) {
    testing::WriteFile(f, "partial");
  }

  ASSERT_TRUE(platform::ReplaceFileDurably(path, "new"));
  EXPECT_EQ(testing::ReadFile(path), "new");
  EXPECT_FALSE(Exists(stale1));
  EXPECT_FALSE(Exists(stale2));
  EXPECT_TRUE(Exists(busy)) << "a live writer's temporary file is its own";
  EXPECT_TRUE(Exists(other_file)) << "another file's temporary files wait for its own write";
  EXPECT_TRUE(Exists(not_ours));
}

TEST(ReplaceTemps, OwnWritesLeaveNothingBehind) {
  testing::TempDir dir;
  const std::string path = dir.file("TradeCfg.ini");
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(platform::ReplaceFileDurably(path, std::to_string(i)));
  size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1u);
  EXPECT_EQ(testing::ReadFile(path), "4");
}

}  // namespace
}  // namespace corvane
