// A workstation directory for one benchmark case: the host (this program,
// copied there), the library, the card simulator and their files, with a
// front-end simulator of its own.  Runs inside the copied program.
#pragma once

#include <string>

namespace corvane::bench {

struct StationCase {
  std::string dir;          // the workstation directory (this program's own)
  std::string kind;         // "txn", "remote", "soak", "count" or "ini"
  int trade_no = 201;
  long log_bytes = 0;       // TradeLog.ini padded to this size (0: as it comes)
  long reply_bytes = 0;     // size of the reply's payload field (0: short)
  int rounds = 10;          // pairs, or transactions for "soak" and "count"
  int replaces = 1;         // durable replaces per transaction, for the floor
  bool worker_row = false;  // "txn": also against the floor through a worker thread
  std::string sim_address;  // the front end of this case
  std::string relay_address;
  std::string simulator;    // path of frontend-sim
  std::string label;
};

// Runs the case and prints its result lines on stdout; the exit status.
int RunStation(const StationCase& c);

}  // namespace corvane::bench
