// The ini engine alone: a key read against one whole read of the file, a
// key write against one durable replace of a file of the same size.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_os.h"
#include "bench_stats.h"
#include "config/ini_file.h"
#include "ini_case.h"
#include "platform/files.h"

namespace corvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

std::string MakeIni(size_t bytes) {
  std::string text;
  for (int s = 0; text.size() < bytes; ++s) {
    text += "[" + std::to_string(1000 + s) + "]\r\n";
    for (int k = 0; k < 10 && text.size() < bytes; ++k)
      text += "Key" + std::to_string(k) + "=some value of the journal " + std::to_string(k) + "\r\n";
  }
  // The key read and written sits in the middle.
  text.insert(text.size() / 2, "\r\n[000]\r\nTradeTypeID=21\r\n");
  return text;
}

double Micros(const std::function<void()>& f) {
  auto start = Clock::now();
  f();
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void Row(const std::string& label, const std::string& dir, int rounds, const char* target,
         const std::function<void(int)>& library, const std::function<void(int)>& floor) {
  std::vector<double> lib, flo, ratio;
  for (int i = 0; i < rounds; ++i) {
    double l, f;
    if (i % 2 == 0) {
      l = Micros([&] { library(i); });
      f = Micros([&] { floor(i); });
    } else {
      f = Micros([&] { floor(i); });
      l = Micros([&] { library(i); });
    }
    lib.push_back(l);
    flo.push_back(f);
    ratio.push_back(l / f);
  }
  std::printf("ROW|%s|%s|%.0f|%.0f|%.3f|%.3f|%zu|%s\n", label.c_str(), FileSystemOf(dir).c_str(),
              Median(lib), Median(flo), Median(ratio), Percentile(ratio, 99), ratio.size(), target);
}

void SizeRows(const std::string& dir, const char* size_label, size_t bytes, int rounds) {
  const std::string ini = dir + "/" + size_label + ".ini";
  const std::string plain = dir + "/" + size_label + ".bin";
  std::string text = MakeIni(bytes);
  platform::ReplaceFileDurably(ini, text);
  std::string value, content;
  Row(std::string("ini key read ") + size_label, dir, rounds, "",
      [&](int) { value = IniReadString(ini, "000", "TradeTypeID", ""); },
      [&](int) { platform::ReadWholeFile(ini, &content); });
  Row(std::string("ini key write ") + size_label, dir, rounds, "2.0",
      [&](int i) { IniWriteString(ini, "000", "TradeTypeID", std::to_string(i)); },
      [&](int i) {
        text[0] = static_cast<char>('a' + i % 26);
        DurableReplace(plain, text);
      });
}

}  // namespace

int RunIniCase(const std::string& dir, int rounds) {
  SizeRows(dir, "10KB", 10 * 1024, rounds);
  SizeRows(dir, "1MB", 1024 * 1024, rounds > 10 ? rounds / 2 : rounds);
  return 0;
}

}  // namespace corvane::bench
