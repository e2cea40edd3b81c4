#include "ui/x_driver.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "ui/settings_dialog.h"

namespace corvane::testing {
namespace {

const char kCaption[] = u8"^Tradecfg参数配置$";

std::string Tool(const std::string& name) { return BuildDir() + "/tests/support/" + name; }

}  // namespace

XScreen::XScreen(const std::string& display) : display_(display) {
  const std::string socket = "/tmp/.X11-unix/X" + display.substr(1);
  std::error_code ec;
  std::filesystem::remove(socket, ec);  // left by a server that was killed
  server_ = std::make_unique<BackgroundProcess>(
      std::vector<std::string>{"Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
      "/");
  for (int i = 0; i < 100 && server_->running() && !PathExists(socket); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (!PathExists(socket)) server_->Stop();
}

ProcessResult XScreen::Run(const std::vector<std::string>& argv, int timeout_ms) const {
  return RunProcess(argv, "/", timeout_ms, Env());
}

std::string XScreen::Pid(const std::string& window) const {
  ProcessResult r = Run({"xdotool", "getwindowpid", window});
  return r.out.substr(0, r.out.find('\n'));
}

std::string XScreen::WaitForDialog(int timeout_ms, const std::string& previous_pid) const {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    ProcessResult r = Run({"xdotool", "search", "--onlyvisible", "--name", kCaption});
    const std::string window = r.out.substr(0, r.out.find('\n'));
    if (r.exit_code == 0 && !window.empty() &&
        (previous_pid.empty() || Pid(window) != previous_pid)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(600));  // mapped and drawn
      return window;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return "";
}

bool XScreen::DialogShown() const {
  ProcessResult r = Run({"xdotool", "search", "--onlyvisible", "--name", kCaption});
  return r.exit_code == 0 && !r.out.empty();
}

std::string XScreen::Geometry(const std::string& window) const {
  ProcessResult r = Run({"xdotool", "getwindowgeometry", "--shell", window});
  std::map<std::string, std::string> v;
  size_t pos = 0;
  while (pos < r.out.size()) {
    size_t end = r.out.find('\n', pos);
    std::string line = r.out.substr(pos, end - pos);
    size_t eq = line.find('=');
    if (eq != std::string::npos) v[line.substr(0, eq)] = line.substr(eq + 1);
    pos = end == std::string::npos ? r.out.size() : end + 1;
  }
  return v["X"] + "," + v["Y"] + " " + v["WIDTH"] + "x" + v["HEIGHT"];
}

void XScreen::Click(int x, int y) const {
  Run({"xdotool", "mousemove", std::to_string(kDialogLeft + x), std::to_string(kDialogTop + y),
       "click", "1"});
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
}

void XScreen::Key(const std::string& keys) const {
  Run({"xdotool", "key", "--delay", "50", keys});
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

void XScreen::Type(const std::string& utf8) const {
  Run({"xdotool", "type", "--delay", "30", utf8});
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

void XScreen::CloseBox(const std::string& window) const { Run({Tool("png_shot"), "close", window}); }

bool XScreen::Picture(const std::string& png) const {
  return Run({Tool("png_shot"), "capture", std::to_string(kDialogLeft),
              std::to_string(kDialogTop), std::to_string(kDialogWidth),
              std::to_string(kDialogHeight), png})
             .exit_code == 0;
}

int EditX(int i) { return SettingsFields()[i].left + 60; }
int EditY(int i) { return SettingsFields()[i].top + 10; }

std::string PictureDir() {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "corvane-dialog-pictures";
  std::filesystem::create_directories(dir);
  return dir.string();
}

}  // namespace corvane::testing
