// The commands of corvane-host.  Each command lives in a file of its own
// and has one entry in the table of commands.cpp.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host_library.h"
#include "host_text.h"

namespace corvane::host {

using Args = std::vector<std::string>;  // the command's name, then its arguments

// What every command can use.
struct Context {
  std::string library_path;
  HostText text{false};
  // Bytes of every call's reply buffer, allocated at exactly that size so
  // that a checker sees any write past it (--buffer).
  size_t reply_size = 1 << 20;
  // The library, loaded at the first command that calls it; nullptr (with
  // the cause printed) when it cannot be loaded.
  Library* LoadedLibrary();
  // Writes a GBK text of the library to standard output, converted for the
  // terminal unless raw.
  void Print(const std::string& gbk) const;

 private:
  Library library_;
  bool tried_ = false;
  bool loaded_ = false;
};

// Exit statuses: 0 every call succeeded, 1 a call or check failed, 2 a
// usage or loading error.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct Command {
  const char* name;
  const char* usage;    // arguments, as shown by --help
  const char* summary;  // one line
  const char* details;  // more lines, or ""
  size_t min_args;
  size_t max_args;
  int (*run)(Context& context, const Args& args);
  // Checks the arguments' values before anything runs (nullptr: none);
  // false after printing what is wrong.
  bool (*check)(const Args& args) = nullptr;
};

const std::vector<Command>& Commands();
const Command* FindCommand(const std::string& name);

// Usage texts on standard output (help) or standard error (mistakes).
void PrintUsage(std::FILE* out);
void PrintCommandUsage(const Command& command, std::FILE* out);

// The commands.
int RunInit(Context& context, const Args& args);
int RunApply(Context& context, const Args& args);
bool CheckApply(const Args& args);
int RunClose(Context& context, const Args& args);
int RunSetCfg(Context& context, const Args& args);
int RunCodePage(Context& context, const Args& args);
int RunVersion(Context& context, const Args& args);
int RunDoctor(Context& context, const Args& args);
int RunHelp(Context& context, const Args& args);
int RunSettings(Context& context, const Args& args);

}  // namespace corvane::host
