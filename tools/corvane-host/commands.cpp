#include "commands.h"

#include "corvane_version.h"

namespace corvane::host {

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"init", "[REQUEST]", "open a session (f_UserCorvaneInit)", "", 0, 1, RunInit},
      {"apply", "N SERIAL REQUEST [EXTRA]", "run transaction N (f_UserCorvaneApply)",
       "  N       transaction number, e.g. 31\n"
       "  SERIAL  serial number, e.g. 20261207000123 (0 when the transaction has none)\n"
       "  REQUEST the request, framed by $$, e.g. '$$1~...$$'\n"
       "  EXTRA   the extra text (the operator, for some transactions)\n",
       3, 4, RunApply, CheckApply},
      {"close", "[REQUEST]", "close the session (f_UserCorvaneClose)", "", 0, 1, RunClose},
      {"setcfg", "", "call f_SetUserTradeCfg and show how many bytes it wrote", "", 0, 0,
       RunSetCfg},
      {"doctor", "", "check this workstation without running a transaction",
       "  Checks the settings file TradeCfg.ini (keys, values that fall back to their\n"
       "  defaults, a byte-order mark), that the folder is writable, the code page,\n"
       "  the front end (connects and creates the server object) and the card\n"
       "  library (loads it, naming every file tried).\n",
       0, 0, RunDoctor},
      {"settings", "[NAME=VALUE]...", "show or set the nine settings of the settings dialog",
       "  Without arguments shows the nine settings of transaction 52's dialog; with\n"
       "  NAME=VALUE arguments (NAME: Com ReadType CardType OpType baud LocalIP\n"
       "  NativeAddress NativeServer AREAID) saves all nine at once, as the dialog's\n"
       "  confirm button does.  e.g. corvane-host settings Com=3 AREAID=0101\n",
       0, 9, RunSettings},
      {"version", "", "print the version of this program and of the library", "", 0, 0,
       RunVersion},
      {"codepage", "", "print the code page texts are converted with", "", 0, 0, RunCodePage},
      {"help", "[COMMAND]", "show this help, or a command's", "", 0, 1, RunHelp},
  };
  return commands;
}

const Command* FindCommand(const std::string& name) {
  for (const Command& c : Commands())
    if (name == c.name) return &c;
  return nullptr;
}

void PrintUsage(std::FILE* out) {
  std::fprintf(out,
               "corvane-host %s: calls the CorvaneApply library as a hospital system does.\n\n"
               "usage: corvane-host [--lib PATH] [--raw] COMMAND [ARGS] [-- COMMAND [ARGS]]...\n"
               "       corvane-host [--lib PATH] [--raw] --script FILE\n\n"
               "commands:\n",
               CORVANE_VERSION);
  for (const Command& c : Commands())
    std::fprintf(out, "  %-9s %-26s %s\n", c.name, c.usage, c.summary);
  std::fprintf(out,
               "\noptions:\n"
               "  --lib PATH     load this library file instead of the one beside the program\n"
               "  --raw          arguments and replies as exact GBK bytes, one line per call:\n"
               "                 <status><TAB><reply> (for scripts and programs)\n"
               "  --script FILE  one command per line, arguments separated by tabs;\n"
               "                 empty lines and lines starting with # are skipped\n"
               "  --buffer BYTES every call's reply buffer holds exactly BYTES bytes (default 1 MiB)\n"
               "  --threads N    run all the commands on N threads at once\n"
               "  -h, --help     this help; 'corvane-host help COMMAND' for a command\n\n"
               "Without --raw, arguments typed in the terminal's encoding are converted to\n"
               "GBK and replies are laid out field by field in the terminal's encoding.\n"
               "Exit status: 0 every call succeeded, 1 a call or check failed, 2 usage or\n"
               "loading error.\n");
}

void PrintCommandUsage(const Command& command, std::FILE* out) {
  std::fprintf(out, "usage: corvane-host %s %s\n  %s\n%s", command.name, command.usage,
               command.summary, command.details);
}

int RunHelp(Context&, const Args& args) {
  if (args.size() < 2) {
    PrintUsage(stdout);
    return kExitOk;
  }
  const Command* command = FindCommand(args[1]);
  if (!command) {
    std::fprintf(stderr, "corvane-host: unknown command %s\n", args[1].c_str());
    return kExitUsage;
  }
  PrintCommandUsage(*command, stdout);
  return kExitOk;
}

}  // namespace corvane::host
