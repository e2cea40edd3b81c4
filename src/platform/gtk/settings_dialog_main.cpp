// corvane-settings-dialog: shows the library's settings dialog with GTK 3
// in a process of its own, so that no toolkit is ever loaded into the host.
// The library writes the form to standard input and reads the outcome from
// standard output (platform/posix/form_wire.h).
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>

#include "platform/gtk/form_view_gtk.h"
#include "platform/posix/form_wire.h"

int main() {
  using namespace corvane::platform;
  std::string wire;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0 && wire.size() <= kFormWireMaxBytes)
    wire.append(buf, n);
  FormLayout layout;
  if (!DecodeFormLayout(wire, &layout)) {
    std::fprintf(stderr, "corvane-settings-dialog: the form it was given is not readable\n");
    return kExitBadInput;
  }
  if (!gtk_init_check(nullptr, nullptr)) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "cannot open display '%s'\n", display ? display : "");
    return kExitNoDisplay;
  }
  FormView view;
  BuildFormView(layout, &view);
  gtk_main();
  FormResult result = CollectFormView(layout, view);
  gtk_widget_destroy(view.window);
  std::fputs(EncodeFormResult(result).c_str(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
