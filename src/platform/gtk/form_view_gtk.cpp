#include "platform/gtk/form_view_gtk.h"

#include <string>

namespace corvane::platform {
namespace {

// Sizes as given: GTK's theme would otherwise grow edits and buttons to its
// own minimum heights.  12 px is the character height of 9 pt on a 96 dpi
// screen (a font height of -12).
std::string Css(const FormLayout& layout) {
  const int px = layout.font_height < 0 ? -layout.font_height : layout.font_height;
  return "* { font-family: \"" + layout.font_face +
         "\", \"SimSun\", \"WenQuanYi Zen Hei\", \"Noto Sans CJK SC\", sans-serif; font-size: " +
         std::to_string(px) + "px; }\n"
         "entry { min-height: 0; padding: 0 3px; }\n"
         "button { min-height: 0; min-width: 0; padding: 0 2px; }\n"
         "label { min-height: 0; padding: 0; }\n";
}

void ApplyCss(const FormLayout& layout) {
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, Css(layout).c_str(), -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);
}

// "确定(&S)" becomes "确定(_S)"; "&&" is a plain '&', '_' stays plain.
std::string Mnemonic(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    char c = caption[i];
    if (c == '_') {
      out += "__";
    } else if (c == '&' && i + 1 < caption.size() && caption[i + 1] == '&') {
      out += '&';
      ++i;
    } else {
      out += c == '&' ? '_' : c;
    }
  }
  return out;
}

void Place(FormView* v, GtkWidget* w, int left, int top, int width, int height) {
  gtk_widget_set_size_request(w, width, height);
  gtk_fixed_put(GTK_FIXED(v->fixed), w, left, top);
}

void OnClicked(GtkButton* button, gpointer data) {
  auto* v = static_cast<FormView*>(data);
  v->result = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "result"));
  gtk_main_quit();
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  static_cast<FormView*>(data)->result = 2;  // the close box
  gtk_main_quit();
  return TRUE;
}

void AddPanels(FormView* v, const FormLayout& f) {
  GtkWidget* upper = gtk_frame_new(nullptr);
  gtk_frame_set_shadow_type(GTK_FRAME(upper), GTK_SHADOW_IN);
  Place(v, upper, 0, 0, f.width, f.height - f.bottom_panel_height);
  GtkWidget* lower = gtk_frame_new(nullptr);
  gtk_frame_set_shadow_type(GTK_FRAME(lower), GTK_SHADOW_OUT);
  Place(v, lower, 0, f.height - f.bottom_panel_height, f.width, f.bottom_panel_height);
  GtkWidget* line = gtk_separator_new(GTK_ORIENTATION_HORIZONTAL);
  Place(v, line, f.line_left, f.line_top, f.line_width, 1);
}

void AddControls(FormView* v, const FormLayout& f) {
  GList* chain = nullptr;
  for (const FormButton& b : f.buttons) {
    GtkWidget* w = gtk_button_new_with_mnemonic(Mnemonic(b.caption).c_str());
    g_object_set_data(G_OBJECT(w), "result", GINT_TO_POINTER(b.result));
    g_signal_connect(w, "clicked", G_CALLBACK(OnClicked), v);
    Place(v, w, b.left, f.height - f.bottom_panel_height + b.top, b.width, b.height);
    v->buttons.push_back(w);
    chain = g_list_append(chain, w);
  }
  for (const FormLabel& l : f.labels) {
    GtkWidget* w = gtk_label_new(l.caption.c_str());
    gtk_label_set_xalign(GTK_LABEL(w), 1.0f);
    Place(v, w, l.left, l.top, l.width, l.height);
  }
  for (const FormEdit& e : f.edits) {
    GtkWidget* w = gtk_entry_new();
    gtk_entry_set_text(GTK_ENTRY(w), e.text.c_str());
    gtk_entry_set_width_chars(GTK_ENTRY(w), 1);
    Place(v, w, e.left, e.top, e.width, e.height);
    v->edits.push_back(w);
    chain = g_list_append(chain, w);
  }
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_container_set_focus_chain(GTK_CONTAINER(v->fixed), chain);
  G_GNUC_END_IGNORE_DEPRECATIONS
  g_list_free(chain);
}

}  // namespace

void BuildFormView(const FormLayout& layout, FormView* v) {
  ApplyCss(layout);
  v->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* win = GTK_WINDOW(v->window);
  gtk_window_set_title(win, layout.caption.c_str());
  gtk_window_set_resizable(win, FALSE);
  gtk_window_set_modal(win, TRUE);
  gtk_window_set_type_hint(win, GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_keep_above(win, TRUE);
  gtk_window_move(win, layout.left, layout.top);
  g_signal_connect(v->window, "delete-event", G_CALLBACK(OnDelete), v);
  v->fixed = gtk_fixed_new();
  gtk_widget_set_size_request(v->fixed, layout.width, layout.height);
  gtk_container_add(GTK_CONTAINER(v->window), v->fixed);
  AddPanels(v, layout);
  AddControls(v, layout);
  gtk_widget_show_all(v->window);
  if (!v->buttons.empty()) gtk_widget_grab_focus(v->buttons[0]);
}

FormResult CollectFormView(const FormLayout& layout, const FormView& v) {
  FormResult r;
  r.modal_result = v.result;
  for (size_t i = 0; i < v.edits.size(); ++i) {
    std::string text = gtk_entry_get_text(GTK_ENTRY(v.edits[i]));
    r.changed.push_back(text != layout.edits[i].text);
    r.texts.push_back(text);
  }
  return r;
}

}  // namespace corvane::platform
