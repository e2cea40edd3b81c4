// frontend-call: one "Transmit" call through a socket connection, as the
// library makes it.  Prints the reply; exit status 0 on a reply, 1 on a
// failure (with its message).
//
//   frontend-call HOST SERVER NUMBER REQUEST [LOCALIP] [PORT]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/text.h"
#include "transport/late_call.h"
#include "transport/socket_connection.h"

using namespace corvane::transport;

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: frontend-call HOST SERVER NUMBER PACKET [LOCALIP] [PORT]\n");
    return 2;
  }
  int32_t number = std::atoi(argv[3]);
  std::string packet = argv[4];
  std::string local = argc > 5 ? argv[5] : "127.0.0.1";
  try {
    TSocketConnection conn;
    conn.SetHost(argv[1]);
    conn.SetPort(argc > 6 ? std::atoi(argv[6]) : 211);
    conn.SetServerName(argv[2]);
    conn.SetServerGUID("");
    conn.SetConnected(true);
    std::string reply;
    {
      std::vector<CallArg> args = {CallArg::IntRef(&number), CallArg::AnsiTextRef(&packet),
                                   CallArg::AnsiTextRef(&local)};
      Variant result = DispatchCall(conn.AppServer(), "Transmit", args);
      reply = corvane::platform::WideToAnsi(VariantToWide(result));
    }
    conn.SetConnected(false);
    std::printf("%s\n", reply.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::printf("error: %s\n", e.what());
    return 1;
  }
}
