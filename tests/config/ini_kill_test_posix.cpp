// A process that writes several keys in one batch, over and over, is killed
// at random moments; every time the file must be the old or the new one,
// complete, with all keys of a batch from the same write.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "config/ini_file.h"
#include "support/temp_dir.h"

namespace corvane {
namespace {

std::vector<IniEntry> Batch(long generation) {
  std::string g = std::to_string(generation);
  return {{"000", "TradeTypeID", g}, {"000", "TradeId", g + g}, {"000", "Ybzt", g},
          {"23", "InMsg", "request " + g}, {"23", "OutMsg", "reply " + g}};
}

// About 60 KB of text that every write must keep.
std::string BaseText() {
  std::string text = "; journal\r\n";
  for (int s = 0; s < 40; ++s) {
    text += "[" + std::to_string(100 + s) + "]\r\n";
    for (int k = 0; k < 25; ++k) {
      text += "Key" + std::to_string(k) + "=value " + std::to_string(s * k) + " 甲乙丙丁\r\n";
    }
    text += "\r\n";
  }
  return text;
}

TEST(IniKill, KilledWritersLeaveTheOldOrTheNewFileComplete) {
  testing::TempDir dir;
  const std::string path = dir.file("TradeLog.ini");
  const std::string base = BaseText();
  testing::WriteFile(path, base);
  IniWriteValues(path, Batch(0));

  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> delay_us(0, 6000);
  const int kKills = 220;
  long highest_seen = 0;
  for (int round = 0; round < kKills; ++round) {
    // The child tells when its first write is through; the kill comes at a
    // random moment after it, however slow the build (sanitizers) or the
    // machine.
    int started[2];
    ASSERT_EQ(pipe(started), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(started[0]);
      long g = 1000L * (round + 1);
      for (;;) {
        try {
          IniWriteValues(path, Batch(++g));
        } catch (...) {
          _exit(3);
        }
        if (started[1] >= 0 && write(started[1], "w", 1) == 1) {
          close(started[1]);
          started[1] = -1;
        }
      }
    }
    close(started[1]);
    char mark = 0;
    EXPECT_EQ(read(started[0], &mark, 1), 1) << "round " << round << ": the writer wrote nothing";
    close(started[0]);
    usleep(static_cast<useconds_t>(delay_us(rng)));
    kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "writer stopped on its own, status " << status;

    std::string after = testing::ReadFile(path);
    // Exactly the content that some generation's write produces.
    size_t at = after.find("TradeTypeID=");
    ASSERT_NE(at, std::string::npos) << "round " << round;
    size_t end = after.find("\r\n", at);
    long g = std::stol(after.substr(at + 12, end - at - 12));
    std::string expected;
    ASSERT_TRUE(IniApplyWrites(base, Batch(0), &expected));
    ASSERT_TRUE(IniApplyWrites(expected, Batch(g), &expected));
    ASSERT_EQ(after, expected) << "round " << round << ": torn or mixed file";
    if (g > highest_seen) highest_seen = g;
  }
  // Writes got through, so the test did kill writers mid-way.
  EXPECT_GT(highest_seen, 1000L);
  // Temporary files of killed writers never stand in place of the journal,
  // and the next write removes them.
  EXPECT_TRUE(std::filesystem::exists(path));
  IniWriteValues(path, Batch(1));
  size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_EQ(e.path().filename().string(), "TradeLog.ini");
    ++files;
  }
  EXPECT_EQ(files, 1u);
}

}  // namespace
}  // namespace corvane
