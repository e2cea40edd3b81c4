#include "platform/win32/form_input_win32.h"

#include <imm.h>

#include <string>
#include <vector>

namespace corvane::platform::win32form {
namespace {

constexpr WORD kSimplifiedChinese = 0x0804;

BOOL CALLBACK DisableOne(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<FormState*>(param);
  if (window != s->window && IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    s->disabled.push_back(window);
  }
  return TRUE;
}

}  // namespace

HKL FindChineseInput() {
  int n = GetKeyboardLayoutList(0, nullptr);
  if (n <= 0) return nullptr;
  std::vector<HKL> layouts(static_cast<size_t>(n));
  n = GetKeyboardLayoutList(n, layouts.data());
  HKL chinese = nullptr;
  for (int i = 0; i < n; ++i) {
    HKL h = layouts[static_cast<size_t>(i)];
    if (LOWORD(reinterpret_cast<UINT_PTR>(h)) != kSimplifiedChinese || !ImmIsIME(h)) continue;
    wchar_t desc[256] = {};
    UINT len = ImmGetDescriptionW(h, desc, 255);
    if (std::wstring(desc, len).find(L"拼音") != std::wstring::npos) return h;
    if (!chinese) chinese = h;
  }
  return chinese;
}

void SelectChineseInput(FormState* s) {
  if (!s->pinyin) return;
  HKL current = GetKeyboardLayout(0);
  if (current == s->pinyin) return;
  if (!s->layout_before) s->layout_before = current;
  ActivateKeyboardLayout(s->pinyin, 0);
}

void RestoreInput(FormState* s) {
  if (!s->layout_before) return;
  ActivateKeyboardLayout(s->layout_before, 0);
  s->layout_before = nullptr;
}

void DisableThreadWindows(FormState* s) {
  EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(s));
}

void EnableThreadWindows(FormState* s) {
  for (HWND w : s->disabled) {
    if (IsWindow(w)) EnableWindow(w, TRUE);
  }
  s->disabled.clear();
}

}  // namespace corvane::platform::win32form
