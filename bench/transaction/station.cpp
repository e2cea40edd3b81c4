#include "station.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "bench_os.h"
#include "bench_stats.h"
#include "block_replay.h"
#include "machine_probe.h"
#include "corvane_apply.h"
#include "platform/dynlib.h"
#include "config/ini_file.h"
#include "config/trade_cfg.h"
#include "link/remote_trade.h"
#include "link/trade_log.h"
#include "platform/files.h"

namespace corvane::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr uint16_t kPort = 211;
constexpr size_t kReplyBuffer = 64u << 20;
constexpr double kCardSerial = 20261207000123.0;

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

long FileSize(const std::string& path) {
  std::ifstream f(path, std::ios::binary | std::ios::ate);
  return f ? static_cast<long>(f.tellg()) : 0;
}

std::string CardData() {
  return "P" + std::string(179, 'X') + std::string(14, '0') + std::string(206, 'Y');
}

void WriteSettings(const StationCase& c, const std::string& front_end) {
  WriteText(c.dir + "/TradeCfg.ini", "[SYSTEM]\r\nLocalIP=10.1.2.3\r\nNativeAddress=" + front_end +
                                         "\r\nNativeServer=Bench.Front\r\nAREAID=0101\r\n");
}

void WriteStationFiles(const StationCase& c) {
  WriteSettings(c, c.sim_address);
  WriteText(c.dir + "/iccsim.ini", "[Card]\r\nDataFile=iccard.dat\r\nJournal=iccsim.log\r\n");
  WriteText(c.dir + "/iccard.dat", CardData());
  std::string payload = c.reply_bytes > 0 ? std::string(static_cast<size_t>(c.reply_bytes), 'x')
                                          : std::string("list");
  WriteText(c.dir + "/scenario.txt",
            "server = Bench.Front\n"
            "definition = 21,1,0000000000000,0,init,,,\n"
            "definition = 31,6,0101001000000,0,settle,,settle,\n"
            "definition = 202,1,0000001000000,0,list,,,\n"
            "reply 31 = 0~ok~0~total 1234.56~~fund 1000.00~own 234.56\n"
            "reply 49 = 0~\n"
            "reply 202 = 0~ok~" + payload + "\n");
}

bool WaitListening(const std::string& address) {
  uint32_t ip = 0;
  platform::ParseIpv4(address, &ip);
  for (int i = 0; i < 200; ++i) {
    platform::SocketHandle s = platform::CreateTcpSocket();
    bool ok = platform::ConnectSocket(s, ip, kPort) == 0;
    platform::CloseSocket(s);
    if (ok) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// The host's side: the library loaded from the workstation directory.
class Host {
 public:
  using InitFn = int32_t(CORVANE_CALL*)(const char*, char*, int32_t);
  using ApplyFn = int32_t(CORVANE_CALL*)(int32_t, double, const char*, char*, const char*);
  using CloseFn = int32_t(CORVANE_CALL*)(const char*, char*, const char*);

  bool Load(const std::string& dir) {
    if (!lib_.Open(dir + "/libCorvaneApply.so")) return false;
    init_ = reinterpret_cast<InitFn>(lib_.Symbol("f_UserCorvaneInit"));
    apply_ = reinterpret_cast<ApplyFn>(lib_.Symbol("f_UserCorvaneApply"));
    close_ = reinterpret_cast<CloseFn>(lib_.Symbol("f_UserCorvaneClose"));
    reply_.assign(kReplyBuffer, 0);
    return init_ && apply_ && close_ && init_(nullptr, reply_.data(), 0) == 0;
  }
  // One transaction; its status (0 on success).
  int Apply(int trade_no) {
    static const std::string card_request = "$$1~" + CardData() + "~0~A1001~ZS~NK$$";
    if (trade_no == 202) return apply_(202, 0, "$$list$$", reply_.data(), "op01");
    return apply_(trade_no, kCardSerial, card_request.c_str(), reply_.data(), "op01");
  }
  std::string Reply() const { return std::string(reply_.data()).substr(0, 300); }
  ~Host() {
    if (close_) close_(nullptr, reply_.data(), nullptr);
  }

 private:
  platform::DynamicLibrary lib_;
  InitFn init_ = nullptr;
  ApplyFn apply_ = nullptr;
  CloseFn close_ = nullptr;
  std::vector<char> reply_;
};

void PadJournal(const std::string& dir, long bytes) {
  const std::string path = dir + "/TradeLog.ini";
  long have = FileSize(path);
  if (bytes <= have) return;
  std::string pad = "[PAD]\r\n";
  for (int i = 0; static_cast<long>(pad.size()) + have + 40 < bytes; ++i)
    pad += "K" + std::to_string(100000 + i) + "=" + std::string(24, 'p') + "\r\n";
  std::ofstream(path, std::ios::binary | std::ios::app) << pad;
}

double Micros(const std::function<bool()>& f, bool* ok) {
  auto start = Clock::now();
  *ok = f() && *ok;
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// Interleaved pairs (library, floor, floor, library, ...); prints one row,
// with its own target when given ("-": informative).
bool Pairs(const StationCase& c, const std::function<bool()>& library,
           const std::function<bool()>& floor, const std::string& target = "") {
  std::vector<double> lib, flo, ratio;
  bool ok = true;
  for (int i = 0; i < c.rounds && ok; ++i) {
    double l, f;
    if (i % 2 == 0) {
      l = Micros(library, &ok);
      f = Micros(floor, &ok);
    } else {
      f = Micros(floor, &ok);
      l = Micros(library, &ok);
    }
    lib.push_back(l);
    flo.push_back(f);
    ratio.push_back(l / f);
  }
  std::printf("ROW|%s|%s|%.0f|%.0f|%.3f|%.3f|%zu|%s\n", c.label.c_str(),
              FileSystemOf(c.dir).c_str(), Median(lib), Median(flo), Median(ratio),
              Percentile(ratio, 99), ratio.size(), target.c_str());
  return ok;
}

// The floor of one transaction: its recorded exchanges replayed (by a
// client that reads its own socket, or through a worker thread per
// connection), and its durable replaces of a file the size of the journal.
std::function<bool()> FloorOf(const StationCase& c, std::vector<Conversation> blocks,
                              long journal_bytes, bool through_worker = false) {
  auto content = std::make_shared<std::string>(static_cast<size_t>(journal_bytes), 'j');
  auto n = std::make_shared<int>(0);
  return [c, blocks, content, n, through_worker] {
    bool ok = through_worker ? ReplayThroughWorker(blocks, c.sim_address, kPort)
                             : ReplayConversations(blocks, c.sim_address, kPort);
    for (int r = 0; r < c.replaces; ++r) {
      (*content)[0] = static_cast<char>('a' + (*n)++ % 26);
      ok = DurableReplace(c.dir + "/floor.ini", *content) && ok;
    }
    return ok;
  };
}

std::vector<Conversation> Record(const StationCase& c, const std::function<bool()>& run) {
  BlockRecorder recorder(c.relay_address, c.sim_address, kPort);
  if (!recorder.Listening()) return {};
  bool ok = run();
  std::vector<Conversation> blocks = recorder.Finish();
  return ok ? blocks : std::vector<Conversation>();
}

bool Fail(const char* what, const std::string& detail = "") {
  std::printf("ERROR|%s %s\n", what, detail.c_str());
  return false;
}

void PrintBlocks(const std::vector<Conversation>& blocks) {
  for (const Conversation& conv : blocks) {
    std::string line;
    for (const Exchange& e : conv)
      line += (e.from_client ? " >" : " <") + std::to_string(e.block.size());
    std::printf("INFO|blocks:%s\n", line.c_str());
  }
}

bool TransactionCase(const StationCase& c, Host& host) {
  for (int i = 0; i < 3; ++i)
    if (host.Apply(c.trade_no) != 0) return Fail("transaction failed:", host.Reply());
  PadJournal(c.dir, c.log_bytes);
  WriteSettings(c, c.relay_address);
  std::vector<Conversation> blocks = Record(c, [&] { return host.Apply(c.trade_no) == 0; });
  WriteSettings(c, c.sim_address);
  if (blocks.empty()) return Fail("recording failed");
  PrintBlocks(blocks);
  if (host.Apply(c.trade_no) != 0) return Fail("transaction failed:", host.Reply());
  long journal = FileSize(c.dir + "/TradeLog.ini");
  std::printf("INFO|journal bytes %ld, replaces %d\n", journal, c.replaces);
  auto apply = [&] { return host.Apply(c.trade_no) == 0; };
  bool ok = Pairs(c, apply, FloorOf(c, blocks, journal));
  if (!ok || !c.worker_row) return ok;
  StationCase w = c;
  w.label = (c.trade_no == 202 ? "202" : "31 (card)") + std::string(" / worker floor");
  return Pairs(w, apply, FloorOf(c, blocks, journal, true), "-");
}

// The remote call alone (packet, daily log lines, the call), against the
// replay of its blocks and against their replay through a worker thread
// (informative rows: what the worker design costs by itself).  Each call
// runs as inside an exported call: the daily log opened by its first line,
// the settings file read once.
bool RemoteCase(StationCase c) {
  if (Kvo_ReadTradeCfg(nullptr) != 0) return Fail("settings");
  std::string reply;
  auto call = [&] {
    TradeLogCallScope daily_log;
    IniCallScope ini_files;
    return Kvo_RemoteTrade(202, "list~op01", &reply, 0) == 0;
  };
  for (int i = 0; i < 3; ++i)
    if (!call()) return Fail("remote call failed:", reply);
  SystemCfg().NativeAddress = c.relay_address;
  std::vector<Conversation> blocks = Record(c, call);
  SystemCfg().NativeAddress = c.sim_address;
  if (blocks.empty()) return Fail("recording failed");
  PrintBlocks(blocks);
  c.replaces = 0;
  auto network = FloorOf(c, blocks, 0);
  auto worker = FloorOf(c, blocks, 0, true);
  bool ok = Pairs(c, call, network);
  c.label = "remote call / worker floor";
  ok = ok && Pairs(c, call, worker, "-");
  c.label = "worker floor / network floor";
  ok = ok && Pairs(c, worker, network, "-");
  ThreadCosts costs = MeasureThreadCosts(c.rounds * 10);
  std::printf("MACHINE|start and join of a thread|%.1f\n", costs.start_join_us);
  if (costs.wake_us > 0)
    std::printf("MACHINE|wake-up of a thread asleep on another processor|%.1f\n", costs.wake_us);
  return ok;
}

// The host's memory, threads and descriptors across many transactions.
bool SoakCase(const StationCase& c, Host& host) {
  const int step = c.rounds >= 10 ? c.rounds / 10 : 1;
  for (int i = 0; i <= c.rounds; ++i) {
    if (i % step == 0) {
      ProcessUse u = CurrentUse();
      std::printf("USE|%d|%ld|%ld|%ld\n", i, u.rss_kb, u.threads, u.descriptors);
    }
    if (i < c.rounds && host.Apply(c.trade_no) != 0) return Fail("transaction failed:", host.Reply());
  }
  return true;
}

// Transactions between two marker opens, for a system-call trace.
bool CountCase(const StationCase& c, Host& host) {
  for (int i = 0; i < 3; ++i)
    if (host.Apply(c.trade_no) != 0) return Fail("transaction failed:", host.Reply());
  std::string content;
  platform::ReadWholeFile(c.dir + "/.mark-begin", &content);
  for (int i = 0; i < c.rounds; ++i)
    if (host.Apply(c.trade_no) != 0) return Fail("transaction failed:", host.Reply());
  platform::ReadWholeFile(c.dir + "/.mark-end", &content);
  return true;
}

bool RunWithHost(const StationCase& c) {
  Host host;
  if (!host.Load(c.dir)) return Fail("library did not load or start its session:", host.Reply());
  if (c.kind == "soak") return SoakCase(c, host);
  if (c.kind == "count") return CountCase(c, host);
  return TransactionCase(c, host);
}

}  // namespace

int RunStation(const StationCase& c) {
  WriteStationFiles(c);
  int sim = Spawn({c.simulator, "--listen", c.sim_address, "--port", "211", "--scenario",
                   c.dir + "/scenario.txt"},
                  "/dev/null");
  bool ok = sim > 0 && WaitListening(c.sim_address);
  if (!ok) Fail("front-end simulator did not start");
  if (ok) ok = c.kind == "remote" ? RemoteCase(c) : RunWithHost(c);
  Stop(sim);
  std::fflush(stdout);
  return ok ? 0 : 1;
}

}  // namespace corvane::bench
