// A host program that uses GTK 2, as some hospital systems on Linux do: it
// initialises GTK 2, then loads the library and calls transaction 52.  GTK 3
// loaded into this process would abort it.
//   gtk2_host LIBRARY     prints "<status>\t<reply>"; exit 3 without GTK 2
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <vector>

using GtkInitCheck = int (*)(int*, char***);
using ApplyFn = int32_t (*)(int32_t, double, const char*, char*, const char*);

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  void* gtk2 = dlopen("libgtk-x11-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
  auto init = gtk2 ? reinterpret_cast<GtkInitCheck>(dlsym(gtk2, "gtk_init_check")) : nullptr;
  if (!init || !init(nullptr, nullptr)) {
    std::fprintf(stderr, "gtk2_host: GTK 2 not available: %s\n", dlerror());
    return 3;
  }
  void* lib = dlopen(argv[1], RTLD_NOW);
  auto apply = lib ? reinterpret_cast<ApplyFn>(dlsym(lib, "f_UserCorvaneApply")) : nullptr;
  if (!apply) {
    std::fprintf(stderr, "gtk2_host: %s\n", dlerror());
    return 2;
  }
  std::vector<char> reply(1 << 16);
  int32_t status = apply(52, 0, "", reply.data(), "");
  std::printf("%d\t%s\n", status, reply.data());
  return 0;
}
