#include "sim_server.h"

#include <cstdio>
#include <iterator>

#include "front_app.h"
#include "hostile_session.h"
#include "platform/text.h"
#include "transport/errors.h"

using namespace corvane;

namespace frontend_sim {

SimServer::SimServer(Scenario scenario, Logger log) : scenario_(std::move(scenario)), log_(std::move(log)) {
  platform::SocketStartup();
}

SimServer::~SimServer() {
  Stop();
  platform::SocketCleanup();
}

bool SimServer::Start(const std::string& address, uint16_t port, std::string* error) {
  int err = 0;
  listener_ = platform::ListenTcp(address, port, 512, &err);
  if (listener_ == platform::kNoSocket) {
    *error = platform::SocketErrorMessage(err) + " (" + std::to_string(err) + ")";
    return false;
  }
  port_ = platform::LocalPort(listener_);
  acceptor_ = std::thread([this] { AcceptLoop(); });
  return true;
}

void SimServer::Stop() {
  if (stop_.exchange(true)) return;
  if (acceptor_.joinable()) acceptor_.join();
  platform::CloseSocket(listener_);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& s : live_) s->Abort();
  }
  for (auto& w : workers_) w.thread.join();
  workers_.clear();
}

void SimServer::JoinFinished() {
  std::list<Worker> finished;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = workers_.begin(); it != workers_.end();) {
      auto next = std::next(it);
      if (*it->done) finished.splice(finished.end(), workers_, it);
      it = next;
    }
  }
  for (auto& w : finished) w.thread.join();
}

void SimServer::AcceptLoop() {
  while (!stop_) {
    JoinFinished();
    if (platform::WaitReadable(listener_, 100000) != 1) continue;
    std::string peer;
    platform::SocketHandle s = platform::AcceptSocket(listener_, &peer);
    if (s == platform::kNoSocket) continue;
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::lock_guard<std::mutex> lock(mutex_);
    workers_.push_back(Worker{std::thread([this, s, peer, done] {
                                Serve(s, peer);
                                *done = true;
                              }),
                              done});
  }
}

namespace {

std::string Hex8(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04X", v);
  return buf;
}

}  // namespace

transport::TDataBlockInterpreter::ClassFactory SimServer::Factory(
    const std::string& peer, const std::shared_ptr<HostileTurn>& turn) {
  return [this, peer, turn](const std::u16string& name) -> transport::Variant {
    std::string server = platform::WideToUtf8(name);
    if (!scenario_.create_error.empty()) {
      if (log_) log_(peer + " create \"" + server + "\" -> error \"" + scenario_.create_error + "\"");
      throw transport::ETransportError(platform::WideToAnsi(platform::Utf8ToWide(scenario_.create_error)));
    }
    if (!scenario_.Accepts(server)) {
      if (log_) log_(peer + " create \"" + server + "\" -> not available");
      return transport::Variant();
    }
    if (log_) log_(peer + " create \"" + server + "\" -> object");
    return transport::Variant::Dispatch(std::make_shared<FrontApp>(&scenario_, &counter_, peer, log_, turn));
  };
}

void SimServer::Serve(platform::SocketHandle s, const std::string& peer) {
  ++sessions_;
  const int connection = ++connections_;
  auto turn = std::make_shared<HostileTurn>();
  auto session = std::make_shared<HostileSession>(s, Factory(peer, turn), turn);
  if (connection == scenario_.drop_connection) {
    session->close_after_blocks = scenario_.drop_after_blocks;
    if (log_) log_(peer + " connection " + std::to_string(connection) + " closes after " +
                   std::to_string(scenario_.drop_after_blocks) + " blocks");
  }
  session->on_block = [this, peer](const transport::IDataBlock& b, bool outgoing) {
    if (!log_) return;
    uint32_t w = b.GetSignatureWord();
    // Error replies get a line of their own; other exchanges are logged by
    // what they mean (create, Transmit).
    if (!outgoing || transport::ActionOf(w) != transport::kActionError) return;
    log_(peer + " <- error reply (block " + Hex8(w) + ", " + std::to_string(b.DataSize()) + " bytes)");
  };
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stop_) session->Abort();
    live_.push_back(session);
  }
  session->Run();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    live_.remove(session);
  }
  if (log_) log_(peer + " closed");
  --sessions_;
}

}  // namespace frontend_sim
