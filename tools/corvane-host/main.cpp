// corvane-host: a host program for the CorvaneApply library, for
// integrators, operators and tests.  It loads the library from its own
// directory the way a hospital information system does and calls the
// exports; `corvane-host --help` lists the commands.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "commands.h"
#include "script.h"

namespace corvane::host {
namespace {

struct Options {
  std::string library_path;
  bool raw = false;
  bool help = false;
  const char* script = nullptr;
  size_t reply_size = 1 << 20;
  int threads = 1;
  std::vector<Args> commands;
};

// Splits the words after the options at "--" into commands.
void SplitCommands(int argc, char** argv, int i, std::vector<Args>* commands) {
  Args current;
  for (; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") != 0) {
      current.push_back(argv[i]);
    } else if (!current.empty()) {
      commands->push_back(current);
      current.clear();
    }
  }
  if (!current.empty()) commands->push_back(current);
}

bool ParseOptions(int argc, char** argv, Options* o) {
  int i = 1;
  for (; i < argc && argv[i][0] == '-' && std::strcmp(argv[i], "--") != 0; ++i) {
    const std::string a = argv[i];
    if (a == "--raw") {
      o->raw = true;
    } else if (a == "-h" || a == "--help") {
      o->help = true;
    } else if (a == "--lib" && i + 1 < argc) {
      o->library_path = argv[++i];
    } else if (a == "--script" && i + 1 < argc) {
      o->script = argv[++i];
    } else if (a == "--buffer" && i + 1 < argc) {
      o->reply_size = std::max<size_t>(1, std::strtoul(argv[++i], nullptr, 10));
    } else if (a == "--threads" && i + 1 < argc) {
      o->threads = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "corvane-host: unknown option %s\n", argv[i]);
      return false;
    }
  }
  SplitCommands(argc, argv, i, &o->commands);
  return true;
}

// The command's usage error, or nullptr when its arguments fit.
const Command* Check(const Args& args, bool* help) {
  const Command* c = FindCommand(args[0]);
  if (!c) {
    std::fprintf(stderr, "corvane-host: unknown command %s (corvane-host --help lists them)\n",
                 args[0].c_str());
    return nullptr;
  }
  *help = args.size() == 2 && (args[1] == "--help" || args[1] == "-h");
  if (*help) return c;
  const size_t n = args.size() - 1;
  if (n < c->min_args || n > c->max_args) {
    std::fprintf(stderr, "corvane-host: %s takes %s arguments\n", c->name,
                 n < c->min_args ? "more" : "fewer");
    PrintCommandUsage(*c, stderr);
    return nullptr;
  }
  return c->check && !c->check(args) ? nullptr : c;
}

// Every command is checked before the first one runs.
int RunAll(Context& context, const std::vector<Args>& commands) {
  bool help = false;
  for (const Args& args : commands)
    if (!Check(args, &help)) return kExitUsage;
  int status = kExitOk;
  for (const Args& args : commands) {
    const Command* c = Check(args, &help);
    if (help) {
      PrintCommandUsage(*c, stdout);
      continue;
    }
    const int result = c->run(context, args);
    if (result == kExitUsage) return kExitUsage;
    if (result != kExitOk) status = kExitFailed;
  }
  return status;
}

}  // namespace
}  // namespace corvane::host

int main(int argc, char** argv) {
  using namespace corvane::host;
  Options o;
  if (!ParseOptions(argc, argv, &o)) return kExitUsage;
  if (o.help) {
    PrintUsage(stdout);
    return kExitOk;
  }
  if (o.script && !ReadScript(o.script, &o.commands)) {
    std::fprintf(stderr, "corvane-host: cannot read %s\n", o.script);
    return kExitUsage;
  }
  if (o.commands.empty()) {
    PrintUsage(stderr);
    return kExitUsage;
  }
  Context context;
  context.library_path = o.library_path.empty() ? DefaultLibraryPath() : o.library_path;
  context.text = HostText(o.raw);
  const std::string warning = EncodingWarning(o.raw);
  if (!warning.empty()) std::fputs(warning.c_str(), stderr);
  context.reply_size = o.reply_size;
  if (o.threads == 1) return RunAll(context, o.commands);
  // The same commands on several threads at once (their lines interleave).
  context.LoadedLibrary();
  std::vector<std::thread> pool;
  std::vector<int> results(static_cast<size_t>(o.threads), kExitOk);
  for (int t = 0; t < o.threads; ++t)
    pool.emplace_back([&, t] { results[static_cast<size_t>(t)] = RunAll(context, o.commands); });
  for (std::thread& t : pool) t.join();
  return *std::max_element(results.begin(), results.end());
}
