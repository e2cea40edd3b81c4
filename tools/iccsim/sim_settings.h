// Where the simulated card lives and what it is told to do, read from the
// settings file at every call so that a test or an integrator can change it
// between calls.
#pragma once

#include <string>

namespace iccsim {

// Names of the five functions, in the order of Settings::fail.
enum Function { kOpenSession, kPINVerify, kGetData, kSaveData, kCloseSession, kFunctionCount };
extern const char* const kFunctionNames[kFunctionCount];

extern const char kSettingsFileName[];  // "iccsim.ini"
extern const char kSettingsVariable[];  // "CORVANE_ICCSIM_INI"

struct Settings {
  std::string data_file;     // the card's data
  std::string journal_file;  // one line per call
  std::string initial_data;  // card data while the data file does not exist
  std::string pin;           // compared with the record's code B
  int fail[kFunctionCount] = {0, 0, 0, 0, 0};  // nonzero: return this instead
  // true: the function faults (writes through a null address), as a reader
  // driver that crashes would
  bool fault[kFunctionCount] = {false, false, false, false, false};
  // true: the function calls back into CorvaneApply first (sim_reenter.h)
  bool reenter[kFunctionCount] = {false, false, false, false, false};
};

// The settings file: the path in CORVANE_ICCSIM_INI when set, otherwise
// iccsim.ini beside the host executable.
std::string SettingsPath();

// Reads the settings; a missing file gives the defaults (files beside the
// settings file's place, the default card, PIN 9133, nothing failing).
Settings LoadSettings();

// The card data of a fresh card: 400 characters with an unlocked lock field
// at characters 181 to 194.
std::string DefaultCardData();

}  // namespace iccsim
