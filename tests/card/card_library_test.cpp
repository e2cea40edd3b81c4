// Finding and loading the card library.
#include <gtest/gtest.h>

#include <filesystem>

#include "card/card_library.h"
#include "platform/dynlib.h"
#include "platform/paths.h"

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

TEST(CardLibraryLoad, CandidatesStartBesideTheHostAndEndWithTheBareName) {
  const std::vector<std::string> c = CardLibraryCandidates();
  const std::string file = platform::SharedLibraryFileName("ICCInter01046");
  ASSERT_GE(c.size(), 2u);
  EXPECT_EQ(c.front(), platform::JoinPath(platform::HostDirectory(), file));
  EXPECT_EQ(c.back(), file);
  for (size_t i = 0; i < c.size(); ++i) {
    for (size_t j = i + 1; j < c.size(); ++j) EXPECT_NE(c[i], c[j]);
  }
}

TEST(CardLibraryLoad, MissingFilesAreNamedInTheProblem) {
  const std::string a = (fs::temp_directory_path() / "no-such-dir-1" / "x.lib").string();
  const std::string b = (fs::temp_directory_path() / "no-such-dir-2" / "y.lib").string();
  CardLibraryFunctions f;
  std::string problem;
  EXPECT_FALSE(LoadCardLibrary({a, b}, &f, &problem));
  EXPECT_NE(problem.find(a), std::string::npos) << problem;
  EXPECT_NE(problem.find(b), std::string::npos) << problem;
  EXPECT_EQ(f.OpenSession, nullptr);
}

TEST(CardLibraryLoad, ALibraryWithoutAFunctionIsRefusedAndTheNextOneTaken) {
  const std::string partial =
      platform::JoinPath(platform::HostDirectory(), platform::SharedLibraryFileName("iccpartial"));
  const std::string full = CardLibraryCandidates().front();
  CardLibraryFunctions f;
  std::string problem;
  EXPECT_FALSE(LoadCardLibrary({partial}, &f, &problem));
  EXPECT_NE(problem.find("IC_SaveData"), std::string::npos) << problem;
  EXPECT_NE(problem.find(partial), std::string::npos) << problem;

  ASSERT_TRUE(LoadCardLibrary({partial, full}, &f, &problem)) << problem;
  EXPECT_TRUE(problem.empty());
  EXPECT_NE(f.OpenSession, nullptr);
  EXPECT_NE(f.PINVerify, nullptr);
  EXPECT_NE(f.GetData, nullptr);
  EXPECT_NE(f.SaveData, nullptr);
  EXPECT_NE(f.CloseSession, nullptr);
}

}  // namespace
}  // namespace corvane::testing
