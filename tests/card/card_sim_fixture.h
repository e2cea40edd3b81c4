// A simulated card for the card tests: the simulator library beside the test
// program, its settings file, card data and journal in a fresh temporary
// directory, and the card session closed before each test.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/sim_journal.h"
#include "support/temp_dir.h"

namespace corvane::testing {

class CardSimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Rewrites the simulator's settings file.  fail: function name -> result.
  void WriteSettings(const std::map<std::string, int>& fail = {}, const std::string& pin = "9133");
  // Rewrites the settings file so that the named function faults.
  void WriteFaultSettings(const std::string& function);
  void PutCard(const std::string& data) { WriteFile(dir_ / "card.dat", data); }
  // The card data the simulator holds ("" before the first write).
  std::string CardOnFile() const { return ReadFile(dir_ / "card.dat"); }
  using Call = SimCall;
  std::vector<Call> Calls() const { return ParseSimJournal(ReadFile(dir_ / "journal.log")); }
  std::vector<std::string> CallNames() const;
  void ClearJournal() { WriteFile(dir_ / "journal.log", ""); }

  TempDir dir_;
};

// Card data of a given length with the lock field (characters 181 to 194)
// set to lock.
std::string CardData(size_t length, const std::string& lock = "00000000000000");

}  // namespace corvane::testing
