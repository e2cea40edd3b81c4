// The settings routines keep their files beside the host program.  So that
// the tests never write into the build tree, this program copies itself into
// a fresh temporary directory and runs the copy there, which then runs the
// tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/paths.h"
#include "support/temp_dir.h"

int main(int argc, char** argv) {
  bool relocated = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--relocated") == 0) relocated = true;
  }
  if (relocated) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
  }
  corvane::testing::TempDir dir;
  std::filesystem::path self = std::filesystem::path(corvane::platform::HostDirectory()) /
                               std::filesystem::path(argv[0]).filename();
  if (!std::filesystem::exists(self)) self += ".exe";
  std::filesystem::path copy = dir.file(self.filename().string());
  std::filesystem::copy_file(self, copy);
  // Temporary paths hold no blanks, so no quoting is needed.
  std::string command = copy.string() + " --relocated";
  for (int i = 1; i < argc; ++i) command += std::string(" ") + argv[i];
  int status = std::system(command.c_str());
  return status == 0 ? 0 : 1;
}
