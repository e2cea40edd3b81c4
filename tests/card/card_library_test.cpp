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

// Every file tried is named with its reason (not loaded, or a function
// missing) until one holds every function.
TEST(CardLibraryLoad, EachFileTriedIsNamedUntilACompleteLibraryIsFound) {
  const std::string missing = (fs::temp_directory_path() / "no-such-dir-1" / "x.lib").string();
  const std::string partial =
      platform::JoinPath(platform::HostDirectory(), platform::SharedLibraryFileName("iccpartial"));
  CardLibraryFunctions f;
  std::string problem;
  EXPECT_FALSE(LoadCardLibrary({missing, partial}, &f, &problem));
  EXPECT_EQ(0u, problem.find(missing + ": cannot load: ")) << problem;
  EXPECT_NE(std::string::npos, problem.find("; " + partial + ": function IC_SaveData missing"))
      << problem;
  EXPECT_EQ(f.OpenSession, nullptr);

  ASSERT_TRUE(LoadCardLibrary({partial, CardLibraryCandidates().front()}, &f, &problem)) << problem;
  EXPECT_TRUE(problem.empty());
  EXPECT_NE(f.OpenSession, nullptr);
  EXPECT_NE(f.PINVerify, nullptr);
  EXPECT_NE(f.GetData, nullptr);
  EXPECT_NE(f.SaveData, nullptr);
  EXPECT_NE(f.CloseSession, nullptr);
}

}  // namespace
}  // namespace corvane::testing
