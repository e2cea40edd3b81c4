// The form as a window built in code, shown with a modal loop of its own on
// the calling thread, without an owner.  Everything it creates (window
// class, font, windows) is gone when ShowModalForm returns: a host may open
// it many times a day.
#include <windows.h>

#include <string>

#include "platform/modal_form.h"
#include "platform/system_message.h"
#include "platform/text.h"
#include "platform/win32/form_window_win32.h"

namespace corvane::platform {
namespace {

using win32form::FormState;

HINSTANCE ThisModule() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &self);
  return self;
}

std::wstring ClassName() {
  static LONG counter = 0;
  return L"CorvaneModalForm." + std::to_wstring(GetCurrentProcessId()) + L"." +
         std::to_wstring(InterlockedIncrement(&counter));
}

bool Refused(FormResult* r, const char* what) {
  DWORD code = GetLastError();
  r->failure = FormFailure::kWindowRefused;
  r->cause = std::string(what) + ": " + std::to_string(code) + " " +
             SystemMessageText(static_cast<int32_t>(code));
  return false;
}

// Runs the loop until a button or the close box gives a result.  A quit
// message meant for the host ends the form (result 2) and is posted again.
void RunModalLoop(FormState* state) {
  MSG msg;
  while (state->result == 0) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      state->result = 2;
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) {
      state->result = 2;
      break;
    }
    if (!IsDialogMessageW(state->window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void Collect(const FormState& state, FormResult* r) {
  r->modal_result = state.result;
  for (size_t i = 0; i < state.edits.size(); ++i) {
    std::u16string text = win32form::WindowText(state.edits[i]);
    r->changed.push_back(text != state.shown[i]);
    r->texts.push_back(WideToGbk(text));
  }
}

}  // namespace

bool ShowModalForm(const FormLayout& layout, FormResult* result) {
  *result = FormResult();
  HINSTANCE instance = ThisModule();
  const std::wstring class_name = ClassName();
  if (!win32form::RegisterFormClass(instance, class_name.c_str()))
    return Refused(result, "RegisterClassEx");
  FormState state;
  state.layout = &layout;
  bool shown = win32form::CreateForm(instance, class_name.c_str(), &state);
  if (!shown) Refused(result, "CreateWindowEx");
  if (shown) {
    RunModalLoop(&state);
    Collect(state, result);
  }
  win32form::DestroyForm(&state);
  UnregisterClassW(class_name.c_str(), instance);
  return shown;
}

}  // namespace corvane::platform
