// corvane-host: a host program for the CorvaneApply library, for
// integrators and tests.  It loads the library from its own directory the
// way a hospital information system does and calls the exports.
//
//   corvane-host [--lib PATH] COMMAND... | --script FILE
//
// Commands (each one call; arguments are GBK bytes as given):
//   init [REQUEST]                      f_UserCorvaneInit
//   apply N SERIAL REQUEST [EXTRA]      f_UserCorvaneApply
//   close                               f_UserCorvaneClose
//   setcfg                              f_SetUserTradeCfg
//   codepage                            prints the system's ANSI code page
//
// Several commands may follow each other on the command line, separated
// by "--".  A script file holds one command per line, its arguments
// separated by tabs; empty lines and lines starting with '#' are skipped.
//
// Output: one line per call, "<status><TAB><reply>", the reply as the raw
// GBK bytes the library wrote.  The exit code is 0 when every call returned
// 0, 1 when a call failed, 2 on a usage or loading error.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "corvane_apply.h"
#include "platform/dynlib.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace {

using InitFn = int32_t(CORVANE_CALL*)(const char*, char*, int32_t);
using ApplyFn = int32_t(CORVANE_CALL*)(int32_t, double, const char*, char*, const char*);
using CloseFn = int32_t(CORVANE_CALL*)(const char*, char*, const char*);
using SetCfgFn = int32_t(CORVANE_CALL*)(int32_t, int32_t, const char*, char*);

struct Library {
  corvane::platform::DynamicLibrary lib;
  InitFn init = nullptr;
  ApplyFn apply = nullptr;
  CloseFn close = nullptr;
  SetCfgFn setcfg = nullptr;

  bool Load(const std::string& path) {
    if (!lib.Open(path)) {
      std::fprintf(stderr, "corvane-host: cannot load %s: %s\n", path.c_str(), lib.Error().c_str());
      return false;
    }
    init = reinterpret_cast<InitFn>(lib.Symbol("f_UserCorvaneInit"));
    apply = reinterpret_cast<ApplyFn>(lib.Symbol("f_UserCorvaneApply"));
    close = reinterpret_cast<CloseFn>(lib.Symbol("f_UserCorvaneClose"));
    setcfg = reinterpret_cast<SetCfgFn>(lib.Symbol("f_SetUserTradeCfg"));
    if (!init || !apply || !close || !setcfg) {
      std::fprintf(stderr, "corvane-host: %s lacks an export: %s\n", path.c_str(),
                   lib.Error().c_str());
      return false;
    }
    return true;
  }
};

constexpr size_t kReplySize = 1 << 20;

void Print(int32_t status, const char* reply) {
  std::printf("%d\t%s\n", status, reply);
  std::fflush(stdout);
}

// Runs one command; returns its status, or 2 for a usage error.
int Run(Library& lib, const std::vector<std::string>& args) {
  std::vector<char> reply(kReplySize, '\x01');
  const std::string& cmd = args[0];
  auto arg = [&](size_t i) -> const char* { return i < args.size() ? args[i].c_str() : nullptr; };
  int32_t status;
  if (cmd == "init") {
    status = lib.init(arg(1), reply.data(), 0);
  } else if (cmd == "apply") {
    if (args.size() < 4) {
      std::fprintf(stderr, "corvane-host: apply N SERIAL REQUEST [EXTRA]\n");
      return 2;
    }
    status = lib.apply(std::atoi(args[1].c_str()), std::strtod(args[2].c_str(), nullptr), arg(3),
                       reply.data(), arg(4));
  } else if (cmd == "close") {
    status = lib.close(arg(1), reply.data(), nullptr);
  } else if (cmd == "setcfg") {
    status = lib.setcfg(0, 0, nullptr, reply.data());
    // Show how many bytes were written: the reply buffer was filled with 1s.
    size_t written = 0;
    while (written < reply.size() && reply[written] != '\x01') ++written;
    std::printf("%d\t%s\t(%zu byte%s written)\n", status, reply.data(), written,
                written == 1 ? "" : "s");
    std::fflush(stdout);
    return status;
  } else if (cmd == "codepage") {
    std::printf("%u\n", corvane::platform::AnsiCodePage());
    return 0;
  } else {
    std::fprintf(stderr, "corvane-host: unknown command %s\n", cmd.c_str());
    return 2;
  }
  Print(status, reply.data());
  return status;
}

std::vector<std::vector<std::string>> ReadScript(const char* path, bool* ok) {
  std::vector<std::vector<std::string>> commands;
  std::ifstream in(path, std::ios::binary);
  *ok = static_cast<bool>(in);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> args;
    size_t start = 0;
    for (;;) {
      size_t tab = line.find('\t', start);
      args.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    commands.push_back(args);
  }
  return commands;
}

}  // namespace

int main(int argc, char** argv) {
  std::string lib_path = corvane::platform::HostDirectory() +
                         corvane::platform::SharedLibraryFileName("CorvaneApply");
  std::vector<std::vector<std::string>> commands;
  int i = 1;
  if (i + 1 < argc && std::strcmp(argv[i], "--lib") == 0) {
    lib_path = argv[i + 1];
    i += 2;
  }
  if (i + 1 < argc && std::strcmp(argv[i], "--script") == 0) {
    bool ok;
    commands = ReadScript(argv[i + 1], &ok);
    if (!ok) {
      std::fprintf(stderr, "corvane-host: cannot read %s\n", argv[i + 1]);
      return 2;
    }
  } else {
    std::vector<std::string> current;
    for (; i < argc; ++i) {
      if (std::strcmp(argv[i], "--") == 0) {
        if (!current.empty()) commands.push_back(current);
        current.clear();
      } else {
        current.push_back(argv[i]);
      }
    }
    if (!current.empty()) commands.push_back(current);
  }
  if (commands.empty()) {
    std::fprintf(stderr,
                 "usage: corvane-host [--lib PATH] COMMAND [-- COMMAND]... | --script FILE\n"
                 "commands: init [REQUEST] | apply N SERIAL REQUEST [EXTRA] | close | setcfg | "
                 "codepage\n");
    return 2;
  }
  if (commands.size() == 1 && commands[0][0] == "codepage") {
    std::printf("%u\n", corvane::platform::AnsiCodePage());
    return 0;
  }
  Library lib;
  if (!lib.Load(lib_path)) return 2;
  int exit_code = 0;
  for (const auto& c : commands) {
    int status = Run(lib, c);
    if (status == 2) return 2;
    if (status != 0) exit_code = 1;
  }
  return exit_code;
}
