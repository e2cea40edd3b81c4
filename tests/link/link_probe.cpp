// A program that runs one link routine from its command line, for tests
// that need the routine in a program of its own: files land beside the
// program (the host directory), and the Windows build runs under Wine
// against servers that the Linux test starts.
//
// Texts travel as hex so that GBK bytes pass any console unchanged.
//
//   link-probe down <reply-hex> <field>
//   link-probe check <trade-no> <reply-hex>
//   link-probe trade <trade-no> <serial> <request-hex> <native-address>
//                    <native-server> <local-ip-hex> <reply-hex> [<request-hex>]
//     (the reply variable starts with <reply-hex>; the settings in memory
//     are set from the arguments; a second request is then sent in the same
//     process, its result printed as "again")
//
// Output: lines "key=value", ending with "causes=" and the causes noted for
// the diagnostics log (hex); the exit code is 0 when the command ran.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/diagnostics.h"
#include "common/last_error.h"
#include "config/trade_cfg.h"
#include "link/reply_check.h"
#include "link/reply_download.h"
#include "link/remote_trade.h"
#include "hex_text.h"

namespace {

void Print(const std::string& key, const std::string& value) {
  std::printf("%s=%s\n", key.c_str(), value.c_str());
}

void PrintLastError() {
  Print("error", std::to_string(corvane::LastErrorCode()));
  Print("message", corvane::testing::Hex(corvane::LastErrorMessage()));
  Print("causes", corvane::testing::Hex(corvane::TakeNotedCauses()));
}

int Usage() {
  std::fprintf(stderr, "usage: link-probe down|check|trade ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  if (command == "down" && argc == 4) {
    std::string reduced = "(untouched)";
    int result = corvane::Kvo_DownReplyFile(corvane::testing::Unhex(argv[2]), std::atoi(argv[3]), &reduced);
    Print("result", std::to_string(result));
    Print("reduced", corvane::testing::Hex(reduced));
    PrintLastError();
    return 0;
  }
  if (command == "check" && argc == 4) {
    Print("result", std::to_string(corvane::Kvo_CheckTradeReply(std::atoi(argv[2]),
                                                                corvane::testing::Unhex(argv[3]))));
    PrintLastError();
    return 0;
  }
  if (command == "trade" && (argc == 9 || argc == 10)) {
    corvane::TSystemCfg& cfg = corvane::SystemCfg();
    cfg.NativeAddress = argv[5];
    cfg.NativeServer = argv[6];
    cfg.LocalIP = corvane::testing::Unhex(argv[7]);
    std::string reply = corvane::testing::Unhex(argv[8]);
    int result = corvane::Kvo_RemoteTrade(std::atoi(argv[2]), corvane::testing::Unhex(argv[4]), &reply,
                                          std::strtod(argv[3], nullptr));
    Print("result", std::to_string(result));
    Print("reply", corvane::testing::Hex(reply));
    Print("localip", corvane::testing::Hex(cfg.LocalIP));
    PrintLastError();
    if (argc == 10) {
      std::string second;
      result = corvane::Kvo_RemoteTrade(std::atoi(argv[2]), corvane::testing::Unhex(argv[9]), &second,
                                        std::strtod(argv[3], nullptr));
      Print("again", std::to_string(result));
    }
    return 0;
  }
  return Usage();
}
