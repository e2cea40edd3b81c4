#include "platform/win32/form_window_win32.h"

#include "platform/text.h"
#include "platform/win32/form_input_win32.h"

namespace corvane::platform::win32form {
namespace {

// Control identifiers.  Neither is IDOK (1) nor IDCANCEL (2): Enter and Esc
// send those, and the form has no default or cancel button.
constexpr int kFirstButtonId = 100;
constexpr int kFirstEditId = 200;

constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;

std::wstring Wide(const std::string& gbk) {
  std::u16string w = GbkToWide(gbk);
  return std::wstring(w.begin(), w.end());
}

void OnCommand(FormState* s, int id, int code) {
  const int buttons = static_cast<int>(s->buttons.size());
  const int edits = static_cast<int>(s->edits.size());
  if (id >= kFirstButtonId && id < kFirstButtonId + buttons && code == BN_CLICKED) {
    s->result = s->layout->buttons[static_cast<size_t>(id - kFirstButtonId)].result;
  } else if (id >= kFirstEditId && id < kFirstEditId + edits && s->layout->chinese_input) {
    if (code == EN_SETFOCUS) SelectChineseInput(s);
    if (code == EN_KILLFOCUS) RestoreInput(s);
  }
}

// The raised bottom panel, the panel above it with a lowered inner bevel,
// and the one-pixel line in the shadow colour.
void Paint(HWND window, const FormLayout& f) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  RECT upper = client, lower = client;
  upper.bottom = lower.top = client.bottom - f.bottom_panel_height;
  DrawEdge(dc, &upper, BDR_RAISEDOUTER, BF_RECT);
  InflateRect(&upper, -1, -1);
  DrawEdge(dc, &upper, BDR_SUNKENINNER, BF_RECT);
  DrawEdge(dc, &lower, BDR_RAISEDOUTER, BF_RECT);
  RECT line = {f.line_left, f.line_top, f.line_left + f.line_width, f.line_top + 1};
  FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
  EndPaint(window, &ps);
}

LRESULT CALLBACK FormProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  auto* s = reinterpret_cast<FormState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
      break;
    case WM_COMMAND:
      if (s) OnCommand(s, LOWORD(wp), HIWORD(wp));
      return 0;
    case WM_CLOSE:  // the close box: modal result 2
    case WM_DESTROY:
      if (s && s->result == 0) s->result = 2;
      if (msg == WM_CLOSE) return 0;
      break;
    case WM_PAINT:
      if (s) {
        Paint(window, *s->layout);
        return 0;
      }
      break;
  }
  return DefWindowProcW(window, msg, wp, lp);
}

HWND Child(FormState* s, HINSTANCE inst, const wchar_t* cls, const std::string& text, DWORD style,
           DWORD ex, int l, int t, int w, int h, int id) {
  HWND c = CreateWindowExW(ex, cls, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, l, t, w, h,
                           s->window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst,
                           nullptr);
  if (c) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(s->font), FALSE);
  return c;
}

// In tab order: the buttons of the bottom panel, then the edits.
bool CreateControls(HINSTANCE inst, FormState* s) {
  const FormLayout& f = *s->layout;
  const int panel_top = f.height - f.bottom_panel_height;
  int id = kFirstButtonId;
  for (const FormButton& b : f.buttons) {
    HWND c = Child(s, inst, L"BUTTON", b.caption, WS_TABSTOP | BS_PUSHBUTTON, 0, b.left,
                   panel_top + b.top, b.width, b.height, id++);
    if (!c) return false;
    s->buttons.push_back(c);
  }
  for (const FormLabel& l : f.labels) {
    if (!Child(s, inst, L"STATIC", l.caption, SS_RIGHT, 0, l.left, l.top, l.width, l.height, -1))
      return false;
  }
  id = kFirstEditId;
  for (const FormEdit& e : f.edits) {
    HWND c = Child(s, inst, L"EDIT", e.text, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                   e.left, e.top, e.width, e.height, id++);
    if (!c) return false;
    s->edits.push_back(c);
    s->shown.push_back(WindowText(c));
  }
  return true;
}

}  // namespace

bool RegisterFormClass(HINSTANCE instance, const wchar_t* class_name) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = FormProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = class_name;
  return RegisterClassExW(&wc) != 0;
}

bool CreateForm(HINSTANCE instance, const wchar_t* class_name, FormState* s) {
  const FormLayout& f = *s->layout;
  s->font = CreateFontW(f.font_height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, Wide(f.font_face).c_str());
  RECT r = {f.left, f.top, f.left + f.width, f.top + f.height};
  AdjustWindowRectEx(&r, kFormStyle, FALSE, kFormExStyle);
  DisableThreadWindows(s);
  s->window = CreateWindowExW(kFormExStyle, class_name, Wide(f.caption).c_str(), kFormStyle,
                              r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                              instance, s);
  if (!s->window || !CreateControls(instance, s)) return false;
  s->pinyin = FindChineseInput();
  ShowWindow(s->window, SW_SHOWNORMAL);
  UpdateWindow(s->window);
  SetForegroundWindow(s->window);
  SetFocus(s->buttons.empty() ? s->window : s->buttons[0]);
  return true;
}

void DestroyForm(FormState* s) {
  DWORD error = GetLastError();
  EnableThreadWindows(s);  // before the form goes, so that activation returns to the host
  if (s->window) DestroyWindow(s->window);
  s->window = nullptr;
  if (s->font) DeleteObject(s->font);
  s->font = nullptr;
  RestoreInput(s);
  SetLastError(error);
}

std::u16string WindowText(HWND window) {
  int n = GetWindowTextLengthW(window);
  if (n <= 0) return std::u16string();
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(window, &text[0], n + 1);
  return std::u16string(text.begin(), text.begin() + (n > 0 ? n : 0));
}

}  // namespace corvane::platform::win32form
