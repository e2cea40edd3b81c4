// frontend-call: one "Transmit" call through a socket connection, as the
// library makes it.  Prints the reply; exit status 0 on a reply, 1 on a
// failure (with its message), 2 on a usage error.
//
//   frontend-call [--raw] HOST SERVER NUMBER PACKET [LOCALIP] [PORT]
//
// The packet is typed in the terminal's encoding and sent as GBK, and the
// reply is shown in the terminal's encoding; with --raw both are exact GBK
// bytes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/terminal.h"
#include "platform/text.h"
#include "transport/late_call.h"
#include "transport/socket_connection.h"

using namespace corvane::transport;
namespace platform = corvane::platform;

namespace {

// The reply as text for the terminal (or exact GBK bytes when raw).
std::string Call(char** argv, int argc, bool raw) {
  int32_t number = std::atoi(argv[2]);
  std::string packet = raw ? argv[3] : platform::WideToGbk(platform::TerminalToWide(argv[3]));
  std::string local = argc > 4 ? argv[4] : "127.0.0.1";
  TSocketConnection conn;
  conn.SetHost(argv[0]);
  conn.SetPort(argc > 5 ? std::atoi(argv[5]) : 211);
  conn.SetServerName(argv[1]);
  conn.SetServerGUID("");
  conn.SetConnected(true);
  std::u16string reply;
  {
    std::vector<CallArg> args = {CallArg::IntRef(&number), CallArg::AnsiTextRef(&packet),
                                 CallArg::AnsiTextRef(&local)};
    Variant result = DispatchCall(conn.AppServer(), "Transmit", args);
    reply = VariantToWide(result);
  }
  conn.SetConnected(false);
  return raw ? platform::WideToGbk(reply) : platform::WideToTerminal(reply);
}

}  // namespace

int main(int argc, char** argv) {
  const bool raw = argc > 1 && std::strcmp(argv[1], "--raw") == 0;
  if (raw) --argc, ++argv;
  if (argc < 5) {
    std::fprintf(stderr, "usage: frontend-call [--raw] HOST SERVER NUMBER PACKET [LOCALIP] [PORT]\n");
    return 2;
  }
  try {
    const std::string reply = Call(argv + 1, argc - 1, raw);
    std::printf("%s\n", reply.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::printf("error: %s\n", e.what());
    return 1;
  }
}
