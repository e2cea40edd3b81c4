#include "sim_reenter.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "corvane_apply.h"
#include "platform/dynlib.h"
#include "platform/paths.h"
#include "sim_journal.h"

namespace iccsim {
namespace {

namespace pf = corvane::platform;

// Room for any error reply of the library.
constexpr size_t kReplyRoom = 64 * 1024;

void Journal(const Settings& s, const char* what, JournalFields fields) {
  AppendJournal(s.journal_file, JournalLine(what, fields));
}

void CallEach(const Settings& s, pf::DynamicLibrary& lib) {
  auto init = reinterpret_cast<decltype(&f_UserCorvaneInit)>(lib.Symbol("f_UserCorvaneInit"));
  auto apply = reinterpret_cast<decltype(&f_UserCorvaneApply)>(lib.Symbol("f_UserCorvaneApply"));
  auto close = reinterpret_cast<decltype(&f_UserCorvaneClose)>(lib.Symbol("f_UserCorvaneClose"));
  auto setcfg = reinterpret_cast<decltype(&f_SetUserTradeCfg)>(lib.Symbol("f_SetUserTradeCfg"));
  if (!init || !apply || !close || !setcfg) {
    Journal(s, "reenter", {{"error", lib.Error()}});
    return;
  }
  std::vector<char> reply(kReplyRoom, '\0');
  auto note = [&](const char* name, int32_t status) {
    Journal(s, "reenter", {{"export", name}, {"reply", reply.data()}, {"result", std::to_string(status)}});
  };
  note("f_UserCorvaneInit", init("", reply.data(), 0));
  note("f_UserCorvaneApply", apply(28, 7, "$$1~c~0~ex~p5~p6$$", reply.data(), ""));
  note("f_UserCorvaneClose", close("", reply.data(), ""));
  note("f_SetUserTradeCfg", setcfg(0, 0, "", reply.data()));
}

// A call from another thread: it must wait until the call under way has
// returned.
void CallFromAnotherThread(const Settings& s, pf::DynamicLibrary& lib) {
  auto setcfg = reinterpret_cast<decltype(&f_SetUserTradeCfg)>(lib.Symbol("f_SetUserTradeCfg"));
  if (!setcfg) return;
  auto returned = std::make_shared<std::atomic<bool>>(false);
  auto started = std::make_shared<std::atomic<bool>>(false);
  const Settings settings = s;
  std::thread([settings, setcfg, returned, started] {
    char reply[16] = {0};
    *started = true;
    const int32_t status = setcfg(0, 0, "", reply);
    *returned = true;
    Journal(settings, "other-thread", {{"result", std::to_string(status)}});
  }).detach();
  while (!*started) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  Journal(s, "other-thread-waiting", {{"returned", *returned ? "1" : "0"}});
}

}  // namespace

void ReenterLibrary(const Settings& s) {
  // The library is loaded already: opening it again only counts a reference.
  pf::DynamicLibrary lib;
  if (!lib.Open(pf::JoinPath(pf::HostDirectory(), pf::SharedLibraryFileName("CorvaneApply")))) {
    Journal(s, "reenter", {{"error", lib.Error()}});
    return;
  }
  CallEach(s, lib);
  CallFromAnotherThread(s, lib);
}

}  // namespace iccsim
