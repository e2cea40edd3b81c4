#include "card/card_library.h"

#include <memory>

#include "card/ic_card.h"
#include "platform/dynlib.h"
#include "platform/paths.h"

namespace corvane {

const char kCardLibraryName[] = "ICCInter01046";

namespace {

CardLibraryFunctions g_functions;
bool g_loaded = false;
std::string g_problem;

template <typename F>
bool Resolve(platform::DynamicLibrary* lib, const char* name, F* slot, std::string* why) {
  void* p = lib->Symbol(name);
  if (!p) {
    *why = std::string("function ") + name + " missing";
    return false;
  }
  *slot = reinterpret_cast<F>(p);
  return true;
}

}  // namespace

std::vector<std::string> CardLibraryCandidates() {
  const std::string file = platform::SharedLibraryFileName(kCardLibraryName);
  std::vector<std::string> out;
  for (const std::string& dir : {platform::HostDirectory(), platform::ModuleDirectory()}) {
    if (dir.empty()) continue;
    std::string path = platform::JoinPath(dir, file);
    bool seen = false;
    for (const std::string& p : out) seen = seen || p == path;
    if (!seen) out.push_back(path);
  }
  out.push_back(file);
  return out;
}

bool LoadCardLibrary(const std::vector<std::string>& candidates, CardLibraryFunctions* functions,
                     std::string* problem) {
  problem->clear();
  for (const std::string& path : candidates) {
    auto lib = std::make_unique<platform::DynamicLibrary>();
    std::string why;
    CardLibraryFunctions f;
    if (!lib->Open(path)) {
      why = "cannot load: " + lib->Error();
    } else if (Resolve(lib.get(), "IC_OpenSession", &f.OpenSession, &why) &&
               Resolve(lib.get(), "IC_PINVerify", &f.PINVerify, &why) &&
               Resolve(lib.get(), "IC_GetData", &f.GetData, &why) &&
               Resolve(lib.get(), "IC_SaveData", &f.SaveData, &why) &&
               Resolve(lib.get(), "IC_CloseSession", &f.CloseSession, &why)) {
      // The card library stays loaded for the life of the process: a card
      // session may stay open from one transaction to the next.
      (void)lib.release();
      *functions = f;
      problem->clear();
      return true;
    }
    if (!problem->empty()) *problem += "; ";
    *problem += path + ": " + why;
  }
  return false;
}

const CardLibraryFunctions* CardLibrary() {
  if (!g_loaded) g_loaded = LoadCardLibrary(CardLibraryCandidates(), &g_functions, &g_problem);
  return g_loaded ? &g_functions : nullptr;
}

std::string CardLibraryProblem() { return g_problem; }

}  // namespace corvane
