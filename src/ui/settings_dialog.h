// The settings dialog (TFrmTrade55): nine settings of TradeCfg.ini, five of
// the card reader (section HardWare) and four of the network (SYSTEM),
// loaded when it is shown and saved only when the operator confirms.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/modal_form.h"

namespace corvane {

// One edit of the dialog, in tab order.
struct SettingsField {
  const char* edit;         // the control's name, e.g. "Edtcom"
  int left, top;            // of the 121 x 21 edit
  const char* label;        // the right-aligned caption to its left
  const char* section;
  const char* key;
  const char* shown_default;  // shown when the key is missing
};

constexpr size_t kSettingsFieldCount = 9;
const SettingsField* SettingsFields();  // kSettingsFieldCount entries

// The modal results of the two buttons (the close box gives 2).
constexpr int kSettingsConfirm = 1;
constexpr int kSettingsCancel = 2;

// Reads the nine values in tab order, each with its shown default (one read
// of the file).  Raises IniReadError when the file exists but cannot be read.
std::vector<std::string> LoadSettings(const std::string& path);

// Writes the nine values as given (no trimming, no checks; the ini engine
// puts each on one line) in one durable replace of the file: all nine or,
// when the system refuses, none.  Raises IniWriteError when refused.
void SaveSettings(const std::string& path, const std::vector<std::string>& values);

// The window showing these values.
platform::FormLayout SettingsForm(const std::vector<std::string>& values);

// The values to save after the form closed: an edit's text where the
// operator changed it, else the value loaded, byte for byte (a value that is
// not valid GBK cannot be shown faithfully and must not be damaged).
std::vector<std::string> EditedSettings(const std::vector<std::string>& loaded,
                                        const platform::FormResult& result);

// Transaction 52: shows the dialog for TradeCfg.ini beside the host program
// and saves on confirmation.  0 whichever button closed it; -1 with the last
// error set when it could not be shown or the save was refused (the file is
// then unchanged).
int Kvo_ShowSettingsDialog();
// The same for the file at path (tests, tools).
int Kvo_ShowSettingsDialogFor(const std::string& path);

}  // namespace corvane
