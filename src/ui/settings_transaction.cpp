// Transaction 52: the dialog shown, its outcome saved, every failure turned
// into an error the operator can act on.
#include "common/diagnostics.h"
#include "common/error_codes.h"
#include "common/last_error.h"
#include "config/ini_file.h"
#include "config/trade_cfg.h"
#include "ui/settings_dialog.h"

namespace corvane {
namespace {

const char kStep[] = "settings dialog";

int FormFailed(const platform::FormResult& r) {
  switch (r.failure) {
    case platform::FormFailure::kNoDisplay:
      Kvo_WriteDiagnostic(kStep, kErrDialogNoDisplay, r.cause);
      return Kvo_SetLastError(kErrDialogNoDisplay);
    case platform::FormFailure::kProgramMissing:
      Kvo_WriteDiagnostic(kStep, kErrDialogProgram, r.cause);
      return Kvo_SetLastError(kErrDialogProgram, DialogProgramMessage(r.program));
    default:
      Kvo_WriteDiagnostic(kStep, kErrDialogWindow, r.cause);
      return Kvo_SetLastError(kErrDialogWindow);
  }
}

}  // namespace

int Kvo_ShowSettingsDialogFor(const std::string& path) {
  std::vector<std::string> loaded;
  try {
    loaded = LoadSettings(path);
  } catch (const IniReadError& e) {
    Kvo_WriteDiagnostic(kStep, kErrDialogRead, e.WithCause());
    return Kvo_SetLastError(kErrDialogRead, DialogReadMessage(path));
  }
  platform::FormResult result;
  if (!platform::ShowModalForm(SettingsForm(loaded), &result)) return FormFailed(result);
  if (result.modal_result != kSettingsConfirm) return 0;
  try {
    SaveSettings(path, EditedSettings(loaded, result));
  } catch (const IniWriteError& e) {
    Kvo_WriteDiagnostic(kStep, kErrDialogSave, e.WithCause());
    return Kvo_SetLastError(kErrDialogSave, DialogSaveMessage(path));
  }
  return 0;
}

int Kvo_ShowSettingsDialog() { return Kvo_ShowSettingsDialogFor(IniPath(kTradeCfgFile, "")); }

}  // namespace corvane
