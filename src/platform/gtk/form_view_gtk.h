// The modal form drawn with GTK 3: a fixed layout at the form's pixel
// positions, in corvane-settings-dialog only (never in the library).
#pragma once

#include <gtk/gtk.h>

#include <vector>

#include "platform/modal_form.h"

namespace corvane::platform {

struct FormView {
  GtkWidget* window = nullptr;
  GtkWidget* fixed = nullptr;
  std::vector<GtkWidget*> buttons;
  std::vector<GtkWidget*> edits;
  int result = 0;  // set by a button or the close box, which ends gtk_main
};

// Builds and shows the window; gtk_init must have succeeded.
void BuildFormView(const FormLayout& layout, FormView* view);
FormResult CollectFormView(const FormLayout& layout, const FormView& view);

}  // namespace corvane::platform
