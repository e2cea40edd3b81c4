// The front-end simulator for whole-flow tests: started on its own loopback
// address with a scenario of replies, and asked afterwards what it received.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace corvane::flowtest {

struct Received {
  int trade_no = 0;
  std::string packet;   // the internal transaction packet as received
  std::string request;  // the packet without its 38-character header and "~"
};

class FrontEnd {
 public:
  FrontEnd(const std::string& dir, const std::string& address);
  ~FrontEnd();
  FrontEnd(const FrontEnd&) = delete;
  FrontEnd& operator=(const FrontEnd&) = delete;

  // Replies to transaction trade_no, in order; the last one repeats.
  void Answer(int trade_no, const std::vector<std::string>& replies);
  void Answer(int trade_no, const std::string& reply) { Answer(trade_no, std::vector<std::string>{reply}); }
  // A scenario line of its own (a hostile front end's "raw-result",
  // "requests" or "drop").
  void AddLine(const std::string& line) { lines_ += line + "\n"; }
  // Starts the simulator with the answers given so far; false when it
  // does not come up.
  bool Start();
  void Stop();
  // Everything received so far, in order.
  std::vector<Received> Calls() const;

 private:
  std::string dir_;
  std::string address_;
  std::map<int, std::vector<std::string>> answers_;
  std::string lines_;
  struct Process;
  std::unique_ptr<Process> process_;
};

}  // namespace corvane::flowtest
