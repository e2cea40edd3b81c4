// The i686 product as a host calls it: every export of CorvaneApply.dll and
// of the card simulator is looked up by name and called through a pointer
// of the standard convention (__stdcall), with the stack pointer read before
// the arguments are pushed and after the call returns.  A function of the C
// convention leaves its arguments on the stack, one that takes other
// argument sizes removes too much or too little: either shows as a moved
// stack pointer.  The program copies itself and the two libraries into a
// fresh directory and runs there, where the library keeps its files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "corvane_apply.h"
#include "platform/dynlib.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace corvane::testing {
namespace {

struct Outcome {
  int32_t value;
  int32_t stack_moved;  // bytes; 0 when the callee removed exactly its arguments
};

// Pushes the 4-byte words (the last one first), calls fn and measures the
// stack pointer against its value before the pushes; then restores it, so
// that a wrong callee cannot take this program down.
Outcome CallMeasured(void* fn, const std::vector<uint32_t>& words) {
  const uint32_t* args = words.data();
  uint32_t count = static_cast<uint32_t>(words.size());
  int32_t value, moved;
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "jecxz 2f\n"
      "1:\n\t"
      "pushl -4(%%edi,%%ecx,4)\n\t"
      "loop 1b\n"
      "2:\n\t"
      "call *%%ebx\n\t"
      "movl %%esp, %%edx\n\t"
      "subl %%esi, %%edx\n\t"
      "movl %%esi, %%esp\n\t"
      : "=a"(value), "=d"(moved), "+c"(count)
      : "D"(args), "b"(fn)
      : "esi", "memory", "cc");
  return {value, moved};
}

uint32_t Word(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

// The two words of a double, as the standard convention pushes it.
std::vector<uint32_t> Words(double d) {
  uint32_t w[2];
  std::memcpy(w, &d, sizeof w);
  return {w[0], w[1]};
}

class StdcallExports : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string dir = platform::HostDirectory();
    ASSERT_TRUE(library_.Open(dir + "CorvaneApply.dll")) << library_.Error();
    ASSERT_TRUE(card_.Open(dir + "ICCInter01046.dll")) << card_.Error();
    reply_.assign(65536, '\x7f');
  }

  // The export's address in a pointer of the header's (standard) type.
  template <typename Fn>
  void* Export(platform::DynamicLibrary& lib, const char* name, Fn) {
    Fn typed = reinterpret_cast<Fn>(lib.Symbol(name));
    EXPECT_NE(nullptr, typed) << name << ": " << lib.Error();
    return reinterpret_cast<void*>(typed);
  }

  std::string Reply() const { return reply_.c_str(); }

  platform::DynamicLibrary library_;
  platform::DynamicLibrary card_;
  std::string reply_;
};

TEST_F(StdcallExports, LibraryFunctionsRemoveExactlyTheirArguments) {
  char* reply = &reply_[0];
  void* set_cfg = Export(library_, "f_SetUserTradeCfg", &f_SetUserTradeCfg);
  Outcome r = CallMeasured(set_cfg, {1, 2, Word("x"), Word(reply)});
  EXPECT_EQ(0, r.stack_moved) << "f_SetUserTradeCfg must remove 16 bytes";
  EXPECT_EQ(0, r.value);
  EXPECT_EQ("", Reply());

  std::vector<uint32_t> apply_args{5};
  for (uint32_t w : Words(12345678901234.0)) apply_args.push_back(w);
  apply_args.insert(apply_args.end(), {Word("$$a~b$$"), Word(reply), Word("extra")});
  r = CallMeasured(Export(library_, "f_UserCorvaneApply", &f_UserCorvaneApply), apply_args);
  EXPECT_EQ(0, r.stack_moved) << "f_UserCorvaneApply must remove 24 bytes";
  EXPECT_EQ(-1, r.value);
  EXPECT_NE(std::string::npos, Reply().find("%%-7003%%")) << Reply();

  r = CallMeasured(Export(library_, "f_UserCorvaneInit", &f_UserCorvaneInit), {0, Word(reply), 0});
  EXPECT_EQ(0, r.stack_moved) << "f_UserCorvaneInit must remove 12 bytes";
  EXPECT_EQ(-1, r.value) << "no front end is configured";
  EXPECT_EQ(0u, Reply().rfind("$$-1~1050%%", 0)) << Reply();

  r = CallMeasured(Export(library_, "f_UserCorvaneClose", &f_UserCorvaneClose), {0, Word(reply), 0});
  EXPECT_EQ(0, r.stack_moved) << "f_UserCorvaneClose must remove 12 bytes";
  EXPECT_EQ(0u, Reply().rfind("$$", 0)) << Reply();
}

// The card simulator stands in for the vendor's library, which the
// library calls the same way; a null record is refused with -1.
TEST_F(StdcallExports, CardSimulatorFunctionsRemoveExactlyTheirArguments) {
  char buffer[1024] = {};
  const struct {
    const char* name;
    std::vector<uint32_t> words;
  } calls[] = {{"IC_OpenSession", {0}},
               {"IC_PINVerify", {0}},
               {"IC_GetData", {0, 10, Word(buffer)}},
               {"IC_SaveData", {0, 10, Word("data"), Word("code"), Word(buffer)}},
               {"IC_CloseSession", {0}}};
  for (const auto& c : calls) {
    Outcome r = CallMeasured(card_.Symbol(c.name), c.words);
    EXPECT_EQ(0, r.stack_moved) << c.name << " must remove " << 4 * c.words.size() << " bytes";
    EXPECT_EQ(-1, r.value) << c.name;
  }
}

}  // namespace
}  // namespace corvane::testing

// Runs a copy of this program beside copies of the two libraries in a fresh
// directory: the library writes its files beside the host program.
int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--relocated") == 0) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
  }
  namespace fs = std::filesystem;
  corvane::testing::TempDir dir;
  const fs::path here = corvane::platform::HostDirectory();
  fs::path self = here / fs::path(argv[0]).filename();
  if (!fs::exists(self)) self += ".exe";
  for (const fs::path& f : {self, here / "CorvaneApply.dll", here / "ICCInter01046.dll"}) {
    fs::copy_file(f, dir.file(f.filename().string()));
  }
  // Temporary paths hold no blanks, so no quoting is needed.
  std::string command = dir.file(self.filename().string()) + " --relocated";
  for (int i = 1; i < argc; ++i) command += std::string(" ") + argv[i];
  return std::system(command.c_str()) == 0 ? 0 : 1;
}
