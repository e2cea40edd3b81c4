// The simulator's scenario: which replies the front end gives.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace frontend_sim {

// Requests of the front end's own sent before it answers a transaction.
struct RequestFlood {
  long long count = 0;  // -1: until the connection ends
  bool silent = false;  // no reply after them
  long long pad = 0;    // characters of a text argument carried by each
};

// All texts UTF-8.
struct Scenario {
  std::vector<std::string> servers;       // accepted server names; empty: any
  std::string create_error;               // non-empty: create-object fails with it
  std::string default_reply = "0";
  std::map<int, std::vector<std::string>> replies;  // per number; a sequence
  std::vector<std::string> definitions;   // transaction-21 definition entries
  std::string version_result = "0";
  // Hostile front end, for tests of the library at its edges.
  std::map<int, std::vector<unsigned char>> raw_results;  // reply value as bytes
  std::map<int, RequestFlood> floods;
  int drop_connection = 0;  // 1 first; 0 none
  int drop_after_blocks = 0;

  // Parses the text of a scenario file; false with *error (line number and
  // reason) on a malformed line.
  bool Parse(const std::string& text, std::string* error);
  // One numbered key ("reply 31", "raw-result 31", "requests 31").
  bool ParseNumbered(const std::string& key, const std::string& value, std::string* error);
  bool ParseHostile(const std::string& key, const std::string& value, std::string* error);
  bool Accepts(const std::string& server) const;
  // The reply for transaction `number` on its `call`-th call (0 first).
  std::string ReplyFor(int number, size_t call) const;
};

// Counts calls per number across all clients.
class CallCounter {
 public:
  size_t Next(int number);

 private:
  std::mutex mutex_;
  std::map<int, size_t> counts_;
};

}  // namespace frontend_sim
