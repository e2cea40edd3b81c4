// The window of a modal form: its class, its controls, its painting and the
// input method of its edits.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/modal_form.h"

namespace corvane::platform::win32form {

struct FormState {
  const FormLayout* layout = nullptr;
  HWND window = nullptr;
  HFONT font = nullptr;
  std::vector<HWND> buttons;
  std::vector<HWND> edits;
  std::vector<std::u16string> shown;  // each edit's text as set at show
  int result = 0;                      // 0 while the form is open
  HKL pinyin = nullptr;                // the Chinese Pinyin input method, if installed
  HKL layout_before = nullptr;         // the layout to restore when an edit loses focus
  std::vector<HWND> disabled;          // the thread's windows disabled while the form is up
};

bool RegisterFormClass(HINSTANCE instance, const wchar_t* class_name);
// Creates and shows the window and its controls; false (with the system's
// last error kept) when the system refused.
bool CreateForm(HINSTANCE instance, const wchar_t* class_name, FormState* state);
// Destroys the window, deletes the font and restores the keyboard layout.
void DestroyForm(FormState* state);

std::u16string WindowText(HWND window);

}  // namespace corvane::platform::win32form
