// Driving the settings dialog on a virtual X screen of the test's own:
// Xvfb started for the test program and stopped with it, xdotool for the
// operator's mouse and keys, png_shot for pictures and the close box.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "support/process.h"

namespace corvane::testing {

class XScreen {
 public:
  // Starts Xvfb on display (e.g. ":93"); running() is false when it could
  // not start (no Xvfb installed).
  explicit XScreen(const std::string& display);
  bool running() const { return server_ && server_->running(); }
  const std::string& display() const { return display_; }
  std::map<std::string, std::string> Env() const { return {{"DISPLAY", display_}}; }

  // The dialog's X window id, waiting up to timeout_ms; empty when none.
  // With previous_pid: a dialog of another process than that one (a dialog
  // that is closing; X may give the new window the same id).
  std::string WaitForDialog(int timeout_ms = 20000, const std::string& previous_pid = "") const;
  std::string Pid(const std::string& window) const;
  bool DialogShown() const;
  // Geometry "X,Y WxH" of a window.
  std::string Geometry(const std::string& window) const;
  // Mouse click at a point of the dialog's client area.
  void Click(int x, int y) const;
  void Key(const std::string& keys) const;   // e.g. "ctrl+a", "alt+s", "Return"
  void Type(const std::string& utf8) const;
  void CloseBox(const std::string& window) const;
  // A picture of the dialog's client area.
  bool Picture(const std::string& png) const;

 private:
  ProcessResult Run(const std::vector<std::string>& argv, int timeout_ms = 10000) const;
  std::string display_;
  std::unique_ptr<BackgroundProcess> server_;
};

// The dialog's client area on the screen and its controls (client pixels).
constexpr int kDialogLeft = 142, kDialogTop = 221, kDialogWidth = 471, kDialogHeight = 285;
// Centre of edit i (tab order) and of the two buttons.
int EditX(int i);
int EditY(int i);
constexpr int kConfirmX = 277 + 37, kCancelX = 365 + 37, kButtonY = 244 + 12;

// Where pictures of the dialog are kept after the test run.
std::string PictureDir();

}  // namespace corvane::testing
