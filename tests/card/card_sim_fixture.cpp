#include "card/card_sim_fixture.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "card/ic_card.h"
#include "config/trade_cfg.h"
#include "platform/environment.h"
#include "trade/library_start.h"

namespace fs = std::filesystem;

namespace corvane::testing {

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(fs::u8path(path), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void Spill(const std::string& path, const std::string& bytes) {
  std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string FreshDirectory() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path p = fs::temp_directory_path() /
               ("corvane-card-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(p);
  return p.string();
}

}  // namespace

std::string CardData(size_t length, const std::string& lock) {
  std::string data;
  for (size_t i = 0; i < length; ++i) data += static_cast<char>('A' + i % 26);
  if (length >= 194) data.replace(180, 14, lock);
  return data;
}

void CardSimTest::SetUp() {
  dir_ = FreshDirectory();
  ini_ = (fs::path(dir_) / "iccsim.ini").string();
  data_file_ = (fs::path(dir_) / "card.dat").string();
  journal_ = (fs::path(dir_) / "journal.log").string();
  WriteSettings();
  ASSERT_TRUE(platform::SetEnvironmentValue("CORVANE_ICCSIM_INI", ini_));

  static const char kCodeA[] = "907153";
  static const char kCodeB[] = "9133";
  TICC_ENV& env = IccEnv();
  env.ReadType = 501;
  env.CardType = 501;
  env.Port = 5;
  env.Baud = 9600;
  env.OpType = 1;
  env.CodeA = kCodeA;
  env.CodeB = kCodeB;
  for (std::string& f : UserTradeParam().Flags) f = "1";

  // As at every call of an export: error replies close the card session.
  Kvo_StartLibrary();
  // A session left open by an earlier test is closed.
  Kvo_CloseIC();
  ASSERT_EQ(CardSessionOpen(), 0);
  ClearJournal();
}

void CardSimTest::TearDown() {
  WriteSettings();
  Kvo_CloseIC();
  platform::SetEnvironmentValue("CORVANE_ICCSIM_INI", "");
  std::error_code ec;
  fs::remove_all(fs::path(dir_), ec);
}

void CardSimTest::WriteSettings(const std::map<std::string, int>& fail, const std::string& pin) {
  std::string text = "[Card]\nDataFile=card.dat\nJournal=journal.log\nPIN=" + pin + "\n[Fail]\n";
  for (const auto& f : fail) text += f.first + "=" + std::to_string(f.second) + "\n";
  Spill(ini_, text);
}

void CardSimTest::WriteFaultSettings(const std::string& function) {
  Spill(ini_, "[Card]\nDataFile=card.dat\nJournal=journal.log\nPIN=9133\n[Fault]\n" + function +
                  "=1\n");
}

void CardSimTest::PutCard(const std::string& data) { Spill(data_file_, data); }

std::string CardSimTest::CardOnFile() const { return Slurp(data_file_); }

std::vector<CardSimTest::Call> CardSimTest::Calls() const {
  std::vector<Call> calls;
  std::istringstream in(Slurp(journal_));
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    Call call;
    size_t pos = line.find('\t');
    call.function = line.substr(0, pos);
    while (pos != std::string::npos) {
      size_t next = line.find('\t', pos + 1);
      std::string field = line.substr(pos + 1, next == std::string::npos ? next : next - pos - 1);
      size_t eq = field.find('=');
      call.fields[field.substr(0, eq)] = eq == std::string::npos ? "" : field.substr(eq + 1);
      pos = next;
    }
    calls.push_back(call);
  }
  return calls;
}

std::vector<std::string> CardSimTest::CallNames() const {
  std::vector<std::string> names;
  for (const Call& c : Calls()) names.push_back(c.function);
  return names;
}

void CardSimTest::ClearJournal() { Spill(journal_, ""); }

}  // namespace corvane::testing
