#include "flow/front_end.h"

#include <sstream>

#include "platform/text.h"
#include "support/process.h"

namespace corvane::flowtest {

using corvane::testing::BackgroundProcess;
using corvane::testing::BuildDir;
using corvane::testing::ReadFile;
using corvane::testing::WaitForPort;
using corvane::testing::WriteFile;

namespace {

const char kServerName[] = "CorvaneFront.Trade";

std::string GbkToUtf8(const std::string& text) {
  return platform::WideToUtf8(platform::GbkToWide(text));
}
std::string Utf8ToGbk(const std::string& text) {
  return platform::WideToGbk(platform::Utf8ToWide(text));
}

// The text between `open` and the next `close` after position *pos.
bool Between(const std::string& line, const std::string& open, const std::string& close,
             size_t* pos, std::string* out) {
  const size_t start = line.find(open, *pos);
  if (start == std::string::npos) return false;
  const size_t from = start + open.size();
  const size_t end = line.find(close, from);
  if (end == std::string::npos) return false;
  *out = line.substr(from, end - from);
  *pos = end + close.size();
  return true;
}

}  // namespace

struct FrontEnd::Process {
  std::unique_ptr<BackgroundProcess> server;
};

FrontEnd::FrontEnd(const std::string& dir, const std::string& address)
    : dir_(dir), address_(address), process_(std::make_unique<Process>()) {}

FrontEnd::~FrontEnd() { Stop(); }

void FrontEnd::Answer(int trade_no, const std::vector<std::string>& replies) {
  answers_[trade_no] = replies;
}

bool FrontEnd::Start() {
  std::string scenario = std::string("server = ") + kServerName + "\n";
  for (const auto& a : answers_)
    for (const std::string& reply : a.second)
      scenario += "reply " + std::to_string(a.first) + " = " + GbkToUtf8(reply) + "\n";
  WriteFile(dir_ + "/frontend.scenario", scenario + lines_);
  process_->server = std::make_unique<BackgroundProcess>(
      std::vector<std::string>{BuildDir() + "/tools/frontend-sim/frontend-sim", "--listen",
                               address_, "--port", "211", "--scenario",
                               dir_ + "/frontend.scenario"},
      dir_, dir_ + "/frontend.out");
  return WaitForPort(address_, 211, 10000);
}

void FrontEnd::Stop() {
  if (process_ && process_->server) process_->server->Stop();
}

// One line per call:
//   <peer> Transmit no=N header[no=.. serial=.. len=.. ip='..'] request="..." address=...
std::vector<Received> FrontEnd::Calls() const {
  std::vector<Received> calls;
  std::istringstream in(ReadFile(dir_ + "/frontend.out"));
  std::string line;
  while (std::getline(in, line)) {
    size_t pos = 0;
    std::string no, number, serial, length, ip, request;
    if (!Between(line, " Transmit no=", " ", &pos, &no)) continue;
    if (!Between(line, "header[no=", " ", &pos, &number) ||
        !Between(line, "serial=", " ", &pos, &serial) ||
        !Between(line, "len=", " ", &pos, &length) || !Between(line, "ip='", "']", &pos, &ip))
      continue;
    const size_t start = line.find(" request=\"", pos);
    const size_t end = line.rfind("\" address=\"");
    if (start == std::string::npos || end == std::string::npos || end < start) continue;
    request = Utf8ToGbk(line.substr(start + 10, end - start - 10));
    Received r;
    r.trade_no = std::atoi(no.c_str());
    r.request = request;
    r.packet = number + serial + length + ip + "~" + request;
    calls.push_back(r);
  }
  return calls;
}

}  // namespace corvane::flowtest
