// A whole session in a fresh directory: the host program, the library and
// the card simulator copied there with a prepared TradeCfg.ini, and the
// front-end simulator on a loopback address of its own.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "flow/front_end.h"
#include "support/process.h"
#include "support/sim_journal.h"

namespace corvane::flowtest {

struct Reply {
  int status = 0;
  std::string text;
  bool operator==(const Reply& o) const { return status == o.status && text == o.text; }
};
inline void PrintTo(const Reply& r, std::ostream* os) { *os << r.status << " " << r.text; }
inline Reply Ok(const std::string& text) { return {0, text}; }
inline Reply Failed(const std::string& text) { return {-1, text}; }

using CardCall = corvane::testing::SimCall;

// The transaction flags, flag 1 first: serial check, card read, rewrite,
// lock, card kind, -, journal; the remaining characters are not read.
std::string Flags(const std::string& first_seven);

// A parameter line: number, field count, flags, then five items.
std::string ParamLine(int trade_no, int field_count, const std::string& flags);

// The reply of transaction 21 carrying these definitions.
std::string InitReply(const std::vector<std::string>& lines);

// Card data of 400 characters with the given lock field.
std::string Card(char fill, const std::string& lock = "00000000000000");
// The lock field of the data an IC_SaveData call wrote.
std::string LockField(const CardCall& write);

extern const std::string kInitTag;   // the exit tags of the two entry points
extern const std::string kApplyTag;
extern const char kRequest[];      // six fields, no card: "$$0~c~0~ex~p5~p6$$"
extern const char kCardRequest[];  // the same with the card in use

// In a wine run (corvane_add_wine_test) the programs are the Windows
// build's, run under its Wine; otherwise the Linux build's.
class FlowTest : public ::testing::Test {
 protected:
  // Loopback addresses: Linux flows use 127.0.0.70 to .89, wine flows
  // WineAddress(90) to (99), round robin.
  void SetUp() override;
  void TearDown() override;

  // Front end answers; Init() starts the simulator when it is not running.
  void Answer(int trade_no, const std::string& reply) { front_->Answer(trade_no, reply); }
  void Answer(int trade_no, const std::vector<std::string>& replies) {
    front_->Answer(trade_no, replies);
  }
  void StartFrontEnd();

  // Runs the host program once with these commands, each a list of
  // arguments (init / apply N SERIAL REQUEST [EXTRA] / close); one reply
  // per command.
  std::vector<Reply> Host(const std::vector<std::vector<std::string>>& commands);
  // The same with options of the host program before the commands
  // (--buffer, --threads): every reply line printed, in order.
  std::vector<Reply> HostWith(const std::vector<std::string>& options,
                              const std::vector<std::vector<std::string>>& commands);
  Reply Apply(int trade_no, const std::string& serial, const std::string& request,
              const std::string& extra = "");
  // init, then the commands, in one host process.
  std::vector<Reply> Session(const std::vector<std::vector<std::string>>& commands);

  std::string Ini(const std::string& file, const std::string& section, const std::string& key);
  void SetIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value);

  // The card simulator: the card's data, failures, and the calls made.
  void PutCard(const std::string& data);
  std::string CardOnFile();
  void FailCard(const std::string& function, int result);
  std::vector<CardCall> CardCalls();
  std::vector<CardCall> CardWrites();  // IC_SaveData calls only

  // Loads a library of this folder into the host program (Linux runs) with
  // its settings in the environment: refuse_rename refuses one rename as a
  // full disk would, refuse_thread every new thread (see their sources).
  void Preload(const std::string& library, std::map<std::string, std::string> settings = {});

  std::vector<Received> FrontCalls() { return front_->Calls(); }
  std::vector<Received> CallsOf(int trade_no);
  // The calls after the session start as "N:request", in order.
  std::vector<std::string> Sent();
  // Section 000 of TradeLog.ini: "TradeTypeID|TradeId|Ybzt|Iczt".
  std::string Pending();
  // The lock field of every IC_SaveData call, in order.
  std::vector<std::string> WrittenLocks();
  // Every line of the diagnostics logs under log1/.
  std::string DiagnosticsLog();

  // The standard error body expected for a tag and code (message from the
  // library's error table).
  static std::string ErrorReply(const std::string& tag, int code);
  static std::string ApplyError(const std::string& exit, int code) {
    return ErrorReply(kApplyTag + exit, code);
  }
  // The log1/CorvaneReply...txt named in a reply, "" when none is.
  static std::string KeptReplyFile(const std::string& text);
  static std::string InitError(const std::string& exit, int code) {
    return ErrorReply(kInitTag + exit, code);
  }

  std::string address_;
  std::unique_ptr<corvane::testing::TempDir> dir_;
  std::unique_ptr<FrontEnd> front_;
  std::map<std::string, int> card_failures_;
  bool front_started_ = false;
  std::string last_host_output_;
  std::map<std::string, std::string> host_env_;  // added to the host program's environment
  long last_host_peak_kb_ = 0;  // the host program's largest resident set

  // Where the programs come from and how they run.
  virtual std::string HostProgram();
  virtual std::vector<std::string> HostFiles();
  virtual std::vector<std::string> Wrap(const std::vector<std::string>& argv);
  virtual std::string NextAddress();

 private:
  void WriteCardSettings();
};

}  // namespace corvane::flowtest
