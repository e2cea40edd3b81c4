// png_shot: pictures for the dialog tests.
//   png_shot capture X Y W H OUT.png   a part of the X screen ($DISPLAY)
//   png_shot convert IN OUT.png        any picture GdkPixbuf reads (BMP) to PNG
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
  std::fprintf(stderr, "usage: png_shot capture X Y W H OUT.png | convert IN OUT.png\n");
  return 2;
}
