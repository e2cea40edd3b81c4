#include "flow/flow_fixture.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "common/error_codes.h"
#include "config/trade_cfg.h"

namespace corvane::flowtest {

using corvane::testing::BuildDir;
using corvane::testing::CopyInto;
using corvane::testing::ReadFile;
using corvane::testing::RunProcess;
using corvane::testing::TempDir;
using corvane::testing::UnderWine;
using corvane::testing::WindowsBuildDir;
using corvane::testing::WineAddress;
using corvane::testing::WriteFile;

std::string Flags(const std::string& first_seven) {
  std::string f = first_seven;
  f.resize(13, '0');
  return f;
}

std::string ParamLine(int trade_no, int field_count, const std::string& flags) {
  return std::to_string(trade_no) + "," + std::to_string(field_count) + "," + flags +
         ",0,i5,i6,i7,i8";
}

std::string InitReply(const std::vector<std::string>& lines) {
  std::string defs;
  for (size_t i = 0; i < lines.size(); ++i) defs += (i ? "%%" : "") + lines[i];
  return "0~~~~~~~" + defs + "~1050,0%%1060,0";
}

std::string Card(char fill, const std::string& lock) {
  std::string data(400, fill);
  data.replace(180, 14, lock);
  return data;
}

std::string LockField(const CardCall& write) {
  auto it = write.fields.find("data");
  return it == write.fields.end() || it->second.size() < 194 ? "" : it->second.substr(180, 14);
}

const std::string kInitTag = "交易初始化实现函数(f_UCInit)";
const std::string kApplyTag = "交易申请实现函数(f_UCApply)";
const char kRequest[] = "$$0~c~0~ex~p5~p6$$";
const char kCardRequest[] = "$$1~c~0~ex~p5~p6$$";

void FlowTest::SetUp() {
  dir_ = std::make_unique<TempDir>();
  for (const std::string& f : HostFiles()) CopyInto(f, dir_->path());
  address_ = NextAddress();
  WriteFile(*dir_ / "TradeCfg.ini",
            "[SYSTEM]\r\nLocalIP=10.1.2.3\r\nNativeAddress=" + address_ +
                "\r\nNativeServer=CorvaneFront.Trade\r\nAREAID=0101\r\n");
  WriteCardSettings();
  front_ = std::make_unique<FrontEnd>(dir_->path(), address_);
}

void FlowTest::TearDown() {
  if (front_) front_->Stop();
  front_.reset();
  front_started_ = false;
  card_failures_.clear();
  dir_.reset();
}

std::string FlowTest::NextAddress() {
  static std::atomic<int> next{0};
  if (!WindowsBuildDir().empty()) return WineAddress(90 + next++ % 10);
  return "127.0.0." + std::to_string(70 + next++ % 20);
}

std::string FlowTest::HostProgram() {
  if (!WindowsBuildDir().empty()) return WindowsBuildDir() + "/tools/corvane-host/corvane-host.exe";
  return BuildDir() + "/tools/corvane-host/corvane-host";
}

std::vector<std::string> FlowTest::HostFiles() {
  const std::string windows = WindowsBuildDir();
  if (!windows.empty())
    return {HostProgram(), windows + "/src/api/CorvaneApply.dll",
            windows + "/tools/iccsim/ICCInter01046.dll"};
  return {HostProgram(), BuildDir() + "/src/api/libCorvaneApply.so",
          BuildDir() + "/tools/iccsim/libICCInter01046.so"};
}

std::vector<std::string> FlowTest::Wrap(const std::vector<std::string>& argv) {
  return WindowsBuildDir().empty() ? argv : UnderWine(argv);
}

void FlowTest::StartFrontEnd() {
  if (front_started_) return;
  ASSERT_TRUE(front_->Start()) << "front-end simulator did not start on " << address_;
  front_started_ = true;
}

std::vector<Reply> FlowTest::Host(const std::vector<std::vector<std::string>>& commands) {
  std::vector<Reply> replies = HostWith({}, commands);
  EXPECT_EQ(commands.size(), replies.size()) << "host output:\n" << last_host_output_;
  replies.resize(commands.size(), Reply{-99, "<no reply>"});
  return replies;
}

std::vector<Reply> FlowTest::HostWith(const std::vector<std::string>& options,
                                      const std::vector<std::vector<std::string>>& commands) {
  std::string script;
  for (const auto& c : commands) {
    for (size_t i = 0; i < c.size(); ++i) script += (i ? "\t" : "") + c[i];
    script += "\n";
  }
  WriteFile(*dir_ / "script.txt", script);
  const std::string host = dir_->path() + "/" + HostProgram().substr(HostProgram().rfind('/') + 1);
  std::vector<std::string> argv{host, "--raw"};
  argv.insert(argv.end(), options.begin(), options.end());
  argv.insert(argv.end(), {"--script", "script.txt"});
  auto result = RunProcess(Wrap(argv), dir_->path(), 120000, host_env_);
  last_host_output_ = result.out + result.err;
  last_host_peak_kb_ = result.peak_rss_kb;
  std::vector<Reply> replies;
  std::istringstream out(result.out);
  std::string line;
  while (std::getline(out, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    replies.push_back(Reply{std::atoi(line.substr(0, tab).c_str()), line.substr(tab + 1)});
  }
  return replies;
}

Reply FlowTest::Apply(int trade_no, const std::string& serial, const std::string& request,
                      const std::string& extra) {
  return Session({{"apply", std::to_string(trade_no), serial, request, extra}}).back();
}

std::vector<Reply> FlowTest::Session(const std::vector<std::vector<std::string>>& commands) {
  StartFrontEnd();
  std::vector<std::vector<std::string>> all{{"init"}};
  all.insert(all.end(), commands.begin(), commands.end());
  auto replies = Host(all);
  EXPECT_EQ("$$0~~~~$$", replies[0].text) << "session start failed";
  replies.erase(replies.begin());
  return replies;
}

std::string FlowTest::Ini(const std::string& file, const std::string& section,
                          const std::string& key) {
  std::string value;
  EXPECT_EQ(0, Kvo_ReadIniFSection(file, section, key, &value, dir_->path()));
  return value;
}

void FlowTest::SetIni(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& value) {
  Kvo_WriteIniFSection(file, section, key, value, dir_->path());
}

void FlowTest::WriteCardSettings() {
  std::string text = "[Card]\r\nDataFile=iccard.dat\r\nJournal=iccsim.log\r\n[Fail]\r\n";
  for (const auto& f : card_failures_) text += f.first + "=" + std::to_string(f.second) + "\r\n";
  WriteFile(*dir_ / "iccsim.ini", text);
}

void FlowTest::PutCard(const std::string& data) { WriteFile(*dir_ / "iccard.dat", data); }

void FlowTest::Preload(const std::string& library, std::map<std::string, std::string> settings) {
  std::string preload = BuildDir() + "/tests/flow/lib" + library + ".so";
  // A sanitizer build's runtime must come first (tests/sanitizer).
  if (const char* runtime = std::getenv("CORVANE_SANITIZER_PRELOAD"))
    preload = std::string(runtime) + ":" + preload;
  host_env_ = std::move(settings);
  host_env_["LD_PRELOAD"] = preload;
}

std::string FlowTest::DiagnosticsLog() {
  std::string all;
  for (const auto& e : std::filesystem::directory_iterator(*dir_ / "log1"))
    if (e.path().filename().string().rfind("CorvaneDiag", 0) == 0) all += ReadFile(e.path().string());
  return all;
}

std::string FlowTest::CardOnFile() { return ReadFile(*dir_ / "iccard.dat"); }

void FlowTest::FailCard(const std::string& function, int result) {
  card_failures_[function] = result;
  WriteCardSettings();
}

std::vector<CardCall> FlowTest::CardCalls() {
  return corvane::testing::ParseSimJournal(ReadFile(*dir_ / "iccsim.log"));
}

std::vector<CardCall> FlowTest::CardWrites() {
  std::vector<CardCall> writes;
  for (const CardCall& c : CardCalls())
    if (c.function == "IC_SaveData") writes.push_back(c);
  return writes;
}

std::vector<Received> FlowTest::CallsOf(int trade_no) {
  std::vector<Received> some;
  for (const Received& c : FrontCalls())
    if (c.trade_no == trade_no) some.push_back(c);
  return some;
}

std::vector<std::string> FlowTest::Sent() {
  std::vector<std::string> sent;
  for (const Received& c : FrontCalls())
    if (c.trade_no != 21) sent.push_back(std::to_string(c.trade_no) + ":" + c.request);
  return sent;
}

std::string FlowTest::Pending() {
  auto key = [this](const char* name) { return Ini("TradeLog.ini", "000", name); };
  return key("TradeTypeID") + "|" + key("TradeId") + "|" + key("Ybzt") + "|" + key("Iczt");
}

std::vector<std::string> FlowTest::WrittenLocks() {
  std::vector<std::string> locks;
  for (const CardCall& c : CardWrites()) locks.push_back(LockField(c));
  return locks;
}

std::string FlowTest::KeptReplyFile(const std::string& text) {
  const size_t at = text.find("log1/CorvaneReply");
  return at == std::string::npos ? "" : text.substr(at, text.find(".txt", at) + 4 - at);
}

std::string FlowTest::ErrorReply(const std::string& tag, int code) {
  return "$$-1~1050%%" + tag + "%%" + std::to_string(code) + "%%错误原因:" +
         ErrorMessage(code) + "$$";
}

}  // namespace corvane::flowtest
