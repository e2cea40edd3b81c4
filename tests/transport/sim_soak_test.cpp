// The front-end simulator as a long-running server: many connections one
// after another (each creates the object, calls "Transmit" once and closes)
// must leave its resident memory, address space and threads flat.
// CORVANE_SOAK_CONNECTIONS sets the number of connections.  Under
// AddressSanitizer (whose quarantine holds freed memory) resident memory is
// not judged.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/text.h"
#include "support/process.h"
#include "support/sanitizer.h"
#include "transport/late_call.h"
#include "transport/socket_connection.h"

namespace {

using namespace corvane::transport;
using namespace corvane::testing;

constexpr char kAddress[] = "127.0.0.191";

struct Usage {
  long rss_kb = 0, vm_kb = 0, threads = 0;
};

Usage UsageOf(pid_t pid) {
  Usage u;
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmRSS:", 0) == 0) u.rss_kb = std::atol(line.c_str() + 6);
    if (line.rfind("VmSize:", 0) == 0) u.vm_kb = std::atol(line.c_str() + 7);
    if (line.rfind("Threads:", 0) == 0) u.threads = std::atol(line.c_str() + 8);
  }
  return u;
}

bool OneCall(int i) {
  TSocketConnection conn;
  conn.SetHost(kAddress);
  conn.SetServerName("FrontServer");
  try {
    conn.SetConnected(true);
    int32_t no = 201;
    std::string packet = "p" + std::to_string(i), ip = "1.1.1.1";
    std::vector<CallArg> args = {CallArg::IntRef(&no), CallArg::AnsiTextRef(&packet),
                                 CallArg::AnsiTextRef(&ip)};
    Variant r = DispatchCall(conn.AppServer(), "Transmit", args);
    conn.SetConnected(false);
    return corvane::platform::WideToAnsi(VariantToWide(r)) == "0~ok";
  } catch (...) {
    return false;
  }
}

int Connections() {
  const char* n = std::getenv("CORVANE_SOAK_CONNECTIONS");
  if (n && std::atoi(n) > 0) return std::atoi(n);
  // Under AddressSanitizer a connection costs several times as much.
  return kAddressSanitizer ? 3000 : 20000;
}

TEST(SimulatorSoak, SequentialConnectionsKeepMemoryAndThreadsFlat) {
  TempDir dir;
  WriteFile(dir / "scenario.txt", "server = FrontServer\ndefault = 0~ok\n");
  BackgroundProcess sim({BuildDir() + "/tools/frontend-sim/frontend-sim", "--listen", kAddress,
                         "--port", "211", "--scenario", dir / "scenario.txt"},
                        dir.path(), "/dev/null");
  ASSERT_TRUE(WaitForPort(kAddress, 211, 15000));

  const int total = Connections();
  const int warm_up = 1000;
  Usage base;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < total; ++i) {
    ASSERT_TRUE(OneCall(i)) << "connection " << i;
    if (i + 1 == warm_up) base = UsageOf(sim.pid());
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const Usage end = UsageOf(sim.pid());
  std::printf("%d connections in %.1f s; after %d: rss %ld KB, vm %ld KB, %ld threads; "
              "at the end: rss %ld KB, vm %ld KB, %ld threads\n",
              total, seconds, warm_up, base.rss_kb, base.vm_kb, base.threads, end.rss_kb,
              end.vm_kb, end.threads);
  ASSERT_TRUE(sim.running());
  // A connection's thread must be gone once it has ended: at most the
  // listener, the main thread and one finishing connection.
  EXPECT_LE(end.threads, 4);
  // An ended thread that is never joined keeps its stack (8 MB of address
  // space each); malloc's per-thread arenas (64 MB each, at most eight per
  // core) may still be added after the warm-up.
  EXPECT_LE(end.vm_kb, base.vm_kb + 1024 * 1024) << "address space grows with connections";
  if (!kAddressSanitizer) {
    EXPECT_LE(end.rss_kb, base.rss_kb + 4 * 1024) << "resident memory grows with connections";
  }
}

}  // namespace
