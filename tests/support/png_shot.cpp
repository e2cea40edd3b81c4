// png_shot: pictures for the dialog tests.
//   png_shot capture X Y W H OUT.png   a part of the X screen ($DISPLAY)
//   png_shot convert IN OUT.png        any picture GdkPixbuf reads (BMP) to PNG
//   png_shot close WINDOW              asks a window to close, as its close box does
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Save(GdkPixbuf* pixbuf, const char* out) {
  if (!pixbuf) {
    std::fprintf(stderr, "png_shot: no picture\n");
    return 1;
  }
  GError* error = nullptr;
  bool ok = gdk_pixbuf_save(pixbuf, out, "png", &error, "compression", "9", nullptr);
  if (!ok) std::fprintf(stderr, "png_shot: %s\n", error ? error->message : "save failed");
  g_object_unref(pixbuf);
  return ok ? 0 : 1;
}

// The message a window manager sends when the close box is clicked.
int Close(Window window) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 2;
  XEvent e = {};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, window, False, NoEventMask, &e);
  XCloseDisplay(d);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 7 && std::strcmp(argv[1], "capture") == 0) {
    if (!gtk_init_check(nullptr, nullptr)) return 2;
    GdkWindow* root = gdk_get_default_root_window();
    return Save(gdk_pixbuf_get_from_window(root, std::atoi(argv[2]), std::atoi(argv[3]),
                                           std::atoi(argv[4]), std::atoi(argv[5])),
                argv[6]);
  }
  if (argc == 4 && std::strcmp(argv[1], "convert") == 0) {
    return Save(gdk_pixbuf_new_from_file(argv[2], nullptr), argv[3]);
  }
  if (argc == 3 && std::strcmp(argv[1], "close") == 0) {
    return Close(static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
  }
  std::fprintf(stderr, "usage: png_shot capture X Y W H OUT.png | convert IN OUT.png\n");
  return 2;
}
