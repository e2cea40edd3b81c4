#include "flow/front_end.h"

#include <sstream>

#include "support/process.h"

namespace corvane::flowtest {

using corvane::testing::BackgroundProcess;
using corvane::testing::BuildDir;
using corvane::testing::ReadFile;
using corvane::testing::WaitForPort;
using corvane::testing::WriteFile;

namespace {
constexpr size_t kPacketHeader = 38;  // number, serial, length, address
}

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
  std::string scenario;
  for (const auto& a : answers_)
    for (const std::string& reply : a.second) scenario += std::to_string(a.first) + "\t" + reply + "\n";
  WriteFile(dir_ + "/frontend.scenario", scenario);
  process_->server = std::make_unique<BackgroundProcess>(
      std::vector<std::string>{BuildDir() + "/tools/frontend-sim/frontend-sim", "--address",
                               address_, "--scenario", dir_ + "/frontend.scenario", "--record",
                               dir_ + "/frontend.record"},
      dir_, dir_ + "/frontend.out");
  return WaitForPort(address_, 211, 10000);
}

void FrontEnd::Stop() {
  if (process_ && process_->server) process_->server->Stop();
}

std::vector<Received> FrontEnd::Calls() const {
  std::vector<Received> calls;
  std::istringstream in(ReadFile(dir_ + "/frontend.record"));
  std::string line;
  while (std::getline(in, line)) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    Received r;
    r.trade_no = std::atoi(line.substr(0, tab).c_str());
    r.packet = line.substr(tab + 1);
    r.request = r.packet.size() > kPacketHeader ? r.packet.substr(kPacketHeader + 1) : "";
    calls.push_back(r);
  }
  return calls;
}

}  // namespace corvane::flowtest
