// A simulated card for the card tests: the simulator library beside the test
// program, its settings file, card data and journal in a fresh temporary
// directory, and the card session closed before each test.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace corvane::testing {

class CardSimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Rewrites the simulator's settings file.  fail: function name -> result.
  void WriteSettings(const std::map<std::string, int>& fail = {}, const std::string& pin = "9133");
  // Rewrites the settings file so that the named function faults.
  void WriteFaultSettings(const std::string& function);
  // Puts card data on the simulated card.
  void PutCard(const std::string& data);
  // The card data the simulator holds ("" before the first write).
  std::string CardOnFile() const;
  // Journal lines, each split into the function name (index 0) and its
  // name=value fields.
  struct Call {
    std::string function;
    std::map<std::string, std::string> fields;
  };
  std::vector<Call> Calls() const;
  std::vector<std::string> CallNames() const;
  void ClearJournal();

  std::string dir_;
  std::string ini_;
  std::string data_file_;
  std::string journal_;
};

// Card data of a given length with the lock field (characters 181 to 194)
// set to lock.
std::string CardData(size_t length, const std::string& lock = "00000000000000");

}  // namespace corvane::testing
