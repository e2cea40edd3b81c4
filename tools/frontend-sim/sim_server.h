// The simulator's listener: one thread per client connection, joined once
// its connection has ended, so that any number of connections one after
// another keep memory and threads flat.
#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/socket.h"
#include "scenario.h"
#include "transport/server_session.h"

namespace frontend_sim {

struct HostileTurn;

class SimServer {
 public:
  using Logger = std::function<void(const std::string& line)>;
  SimServer(Scenario scenario, Logger log);
  ~SimServer();
  // Starts listening and accepting; false with *error when the address
  // cannot be bound.
  bool Start(const std::string& address, uint16_t port, std::string* error);
  void Stop();
  uint16_t Port() const { return port_; }
  int Sessions() const { return sessions_; }

 private:
  void AcceptLoop();
  void Serve(corvane::platform::SocketHandle s, const std::string& peer);
  // Creates the application object for the server names the scenario accepts.
  corvane::transport::TDataBlockInterpreter::ClassFactory Factory(
      const std::string& peer, const std::shared_ptr<HostileTurn>& turn);
  // Joins the threads whose connection has ended.
  void JoinFinished();

  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };

  Scenario scenario_;
  CallCounter counter_;
  Logger log_;
  corvane::platform::SocketHandle listener_ = corvane::platform::kNoSocket;
  uint16_t port_ = 0;
  std::thread acceptor_;
  std::atomic<bool> stop_{false};
  std::atomic<int> sessions_{0};
  std::atomic<int> connections_{0};  // accepted so far
  std::mutex mutex_;
  std::list<std::shared_ptr<corvane::transport::TServerSession>> live_;
  std::list<Worker> workers_;
};

}  // namespace frontend_sim
