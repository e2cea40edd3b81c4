// Prints the time of one key read and one key write on a 10 KB and a 1 MB
// ini file, beside a plain durable rewrite of a file of the same size
// (write, flush to disk, rename) measured in the same run.  A key write
// should cost at most twice that rewrite.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "config/ini_file.h"
#include "platform/files.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string MakeIni(size_t bytes) {
  std::string text;
  int s = 0;
  while (text.size() < bytes) {
    text += "[" + std::to_string(1000 + s++) + "]\r\n";
    for (int k = 0; k < 10 && text.size() < bytes; ++k) {
      text += "Key" + std::to_string(k) + "=some value of the journal " + std::to_string(k) + "\r\n";
    }
  }
  // The key the benchmark reads and writes sits in the middle.
  text.insert(text.size() / 2, "\r\n[000]\r\nTradeTypeID=21\r\n");
  return text;
}

template <typename F>
double MicrosPerCall(int rounds, F f) {
  auto start = Clock::now();
  for (int i = 0; i < rounds; ++i) f(i);
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / rounds;
}

bool Run(const std::filesystem::path& dir, const char* label, size_t bytes, int rounds) {
  const std::string ini = (dir / (std::string(label) + ".ini")).string();
  const std::string plain = (dir / (std::string(label) + ".bin")).string();
  const std::string text = MakeIni(bytes);
  corvane::platform::ReplaceFileDurably(ini, text);
  std::string v;
  double read_us = MicrosPerCall(rounds, [&](int) {
    corvane::IniReadString(ini, "000", "TradeTypeID", "", &v);
  });
  double write_us = MicrosPerCall(rounds, [&](int i) {
    corvane::IniWriteString(ini, "000", "TradeTypeID", std::to_string(i));
  });
  double rewrite_us = MicrosPerCall(rounds, [&](int i) {
    std::string copy = text;
    copy[0] = static_cast<char>('a' + i % 26);
    corvane::platform::ReplaceFileDurably(plain, copy);
  });
  double ratio = write_us / rewrite_us;
  std::printf("%-6s read %9.1f us  write %9.1f us  durable rewrite %9.1f us  write/rewrite %.2f %s\n",
              label, read_us, write_us, rewrite_us, ratio, ratio <= 2.0 ? "ok" : "TOO SLOW");
  return ratio <= 2.0;
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path dir =
      argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
  std::random_device rd;
  dir /= "corvane-bench-ini-" + std::to_string(rd());
  std::filesystem::create_directories(dir);
  bool ok = Run(dir, "10KB", 10 * 1024, 200);
  ok = Run(dir, "1MB", 1024 * 1024, 30) && ok;
  std::filesystem::remove_all(dir);
  return ok ? 0 : 1;
}
