#include "card/card_sim_fixture.h"

#include "card/ic_card.h"
#include "config/trade_cfg.h"
#include "platform/environment.h"
#include "trade/library_start.h"

namespace corvane::testing {

std::string CardData(size_t length, const std::string& lock) {
  std::string data;
  for (size_t i = 0; i < length; ++i) data += static_cast<char>('A' + i % 26);
  if (length >= 194) data.replace(180, 14, lock);
  return data;
}

void CardSimTest::SetUp() {
  WriteSettings();
  ASSERT_TRUE(platform::SetEnvironmentValue("CORVANE_ICCSIM_INI", dir_ / "iccsim.ini"));
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
}

void CardSimTest::WriteSettings(const std::map<std::string, int>& fail, const std::string& pin) {
  std::string text = "[Card]\nDataFile=card.dat\nJournal=journal.log\nPIN=" + pin + "\n[Fail]\n";
  for (const auto& f : fail) text += f.first + "=" + std::to_string(f.second) + "\n";
  WriteFile(dir_ / "iccsim.ini", text);
}

void CardSimTest::WriteFaultSettings(const std::string& function) {
  WriteFile(dir_ / "iccsim.ini",
            "[Card]\nDataFile=card.dat\nJournal=journal.log\nPIN=9133\n[Fault]\n" + function + "=1\n");
}

std::vector<std::string> CardSimTest::CallNames() const {
  std::vector<std::string> names;
  for (const Call& c : Calls()) names.push_back(c.function);
  return names;
}

}  // namespace corvane::testing
