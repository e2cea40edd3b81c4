// The real Win32 dialog: this program loads CorvaneApply.dll from its own
// folder and calls transaction 52 while an operator thread finds the dialog
// and types, clicks and closes it with window messages.  It needs a screen:
// tests/ui/wine_dialog.sh runs it under Wine on a virtual X screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"
#include "ui/settings_dialog.h"

namespace corvane::testing {
namespace {

using ApplyFn = int32_t(__stdcall*)(int32_t, double, const char*, char*, const char*);

const wchar_t kCaption[] = L"Tradecfg参数配置";
const char kFile[] =
    "; workstation 3\r\n[HardWare]\r\nCom=3\r\nReadType=7\r\n[SYSTEM]\r\nLocalIP=\x81\x20x\r\n";

std::string Folder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path, n);
  return p.substr(0, p.find_last_of("\\/") + 1);
}

std::string Cfg() { return Folder() + "TradeCfg.ini"; }

ApplyFn Apply() {
  static HMODULE lib = LoadLibraryA((Folder() + "CorvaneApply.dll").c_str());
  return lib ? reinterpret_cast<ApplyFn>(reinterpret_cast<void*>(GetProcAddress(lib, "f_UserCorvaneApply"))) : nullptr;
}

struct Dialog {
  HWND window = nullptr;
  std::vector<HWND> buttons, edits, labels;
};

BOOL CALLBACK AddChild(HWND child, LPARAM param) {
  auto* d = reinterpret_cast<Dialog*>(param);
  wchar_t cls[64] = {};
  GetClassNameW(child, cls, 63);
  if (_wcsicmp(cls, L"Button") == 0) d->buttons.push_back(child);
  if (_wcsicmp(cls, L"Edit") == 0) d->edits.push_back(child);
  if (_wcsicmp(cls, L"Static") == 0) d->labels.push_back(child);
  return TRUE;
}

// Waits until done() holds, at most timeout_ms (the i686 build runs under
// an emulator: a minute is generous, and a passing wait ends at once).
bool WaitUntil(const std::function<bool()>& done, ULONGLONG timeout_ms = 60000) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
  return true;
}

Dialog WaitForDialog() {
  Dialog d;
  WaitUntil([&] {
    HWND w = FindWindowW(nullptr, kCaption);
    if (w && IsWindowVisible(w)) d.window = w;
    return d.window != nullptr;
  });
  if (d.window) EnumChildWindows(d.window, AddChild, reinterpret_cast<LPARAM>(&d));
  return d;
}

std::wstring Text(HWND w) {
  wchar_t buf[256] = {};
  GetWindowTextW(w, buf, 255);
  return buf;
}

// Posts a marker character to the edit behind the messages posted before
// it and waits until the edit has it, twice: what those messages caused
// (a character their translation posted) has then been handled too.
// False when the edit went away (its dialog closed).
bool Settle(HWND edit) {
  for (const wchar_t marker : {L'#', L'%'}) {
    PostMessageW(edit, WM_CHAR, marker, 0);
    if (!WaitUntil([&] { return !IsWindow(edit) || Text(edit).find(marker) != std::wstring::npos; }))
      return false;
    if (!IsWindow(edit)) return false;
  }
  return true;
}

void SetText(HWND edit, const std::wstring& text) {
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

struct Outcome {
  int32_t status = 99;
  std::string reply;
};

// Calls transaction 52 on this thread while the operator acts on the dialog
// on another; a dialog the operator left open is closed.
Outcome Run52(const std::function<void(const Dialog&)>& op) {
  std::thread operator_thread([&] {
    Dialog d = WaitForDialog();
    if (!d.window) {
      ADD_FAILURE() << "the dialog did not appear";
      return;
    }
    if (d.buttons.size() == 2 && d.edits.size() == 9 && d.labels.size() == 9) {
      op(d);
    } else {
      ADD_FAILURE() << d.buttons.size() << " buttons, " << d.edits.size() << " edits";
    }
    if (!WaitUntil([&] { return !IsWindow(d.window); }, 10000))
      PostMessageW(d.window, WM_CLOSE, 0, 0);
  });
  std::vector<char> reply(1 << 16, '\0');
  Outcome o;
  o.status = Apply()(52, 0, "", reply.data(), "");
  o.reply = reply.data();
  operator_thread.join();
  return o;
}

RECT ClientBox(HWND child, HWND parent) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A 24-bit device-independent bitmap selected into a memory device context.
struct Canvas {
  Canvas(int width, int height) : w(width), h(height), stride((width * 3 + 3) & ~3) {
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    bmp = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bmp);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  std::string Bytes() const {
    GdiFlush();
    return std::string(static_cast<const char*>(bits), static_cast<size_t>(stride * h));
  }
  const int w, h, stride;
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info = {};
  HBITMAP bmp = nullptr;
  HGDIOBJ old = nullptr;
  void* bits = nullptr;
};

// A 24-bit BMP of the window as it is on the screen (png_shot makes a PNG of it).
void Picture(HWND window, const std::string& path) {
  RECT r;
  GetWindowRect(window, &r);
  Canvas c(r.right - r.left, r.bottom - r.top);
  HDC screen = GetDC(nullptr);
  BitBlt(c.dc, 0, 0, c.w, c.h, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  const std::string pixels = c.Bytes();
  BITMAPFILEHEADER fh = {0x4d42, static_cast<DWORD>(54 + pixels.size()), 0, 0, 54};
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&c.info.bmiHeader, sizeof c.info.bmiHeader, 1, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    std::fclose(f);
  }
}

// The pixels of one character drawn with the font, black on white.
std::string Drawn(HFONT font, wchar_t ch) {
  Canvas c(32, 32);
  HGDIOBJ old = SelectObject(c.dc, font);
  PatBlt(c.dc, 0, 0, c.w, c.h, WHITENESS);
  TextOutW(c.dc, 0, 0, &ch, 1);
  SelectObject(c.dc, old);
  return c.Bytes();
}

// Every Chinese character of the labels is drawn as itself, not as the box
// of a character no font has (U+0378, unassigned): a screen without a
// Chinese font shows the labels as rows of boxes.
void CheckGlyphs(const Dialog& d) {
  std::string boxes;
  for (HWND label : d.labels) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    const std::string missing = Drawn(font, L'\x0378');
    for (wchar_t ch : Text(label)) {
      if (ch >= 0x4e00 && ch <= 0x9fff && Drawn(font, ch) == missing) {
        char name[16];
        std::snprintf(name, sizeof name, " U+%04X", static_cast<unsigned>(ch));
        boxes += name;
      }
    }
  }
  EXPECT_EQ("", boxes) << "label characters drawn as boxes";
}

class WinDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Apply()) << "CorvaneApply.dll not loaded from " << Folder();
    SetFileAttributesA(Cfg().c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteFile(Cfg(), kFile);
    if (!GetEnvironmentVariableA("CORVANE_NO_DISPLAY", nullptr, 0) != !no_display_)
      GTEST_SKIP() << (no_display_ ? "needs no display" : "needs a display");
  }
  bool no_display_ = false;
};

class WinNoDisplay : public WinDialog {
 protected:
  WinNoDisplay() { no_display_ = true; }
};

void CheckLayout(const Dialog& d) {
  RECT client;
  GetClientRect(d.window, &client);
  EXPECT_EQ(471, client.right);
  EXPECT_EQ(285, client.bottom);
  POINT origin = {0, 0};
  ClientToScreen(d.window, &origin);
  EXPECT_EQ(142, origin.x);
  EXPECT_EQ(221, origin.y);
  EXPECT_EQ(nullptr, GetWindow(d.window, GW_OWNER));
  EXPECT_EQ(L"确定(&S)", Text(d.buttons[0]));
  EXPECT_EQ(L"取消(&C)", Text(d.buttons[1]));
  RECT b = ClientBox(d.buttons[1], d.window);
  EXPECT_EQ(365, b.left);
  EXPECT_EQ(244 + 8, b.top);
  EXPECT_EQ(75, b.right - b.left);
  EXPECT_EQ(25, b.bottom - b.top);
  for (size_t i = 0; i < d.edits.size(); ++i) {
    RECT e = ClientBox(d.edits[i], d.window);
    EXPECT_EQ(SettingsFields()[i].left, e.left) << i;
    EXPECT_EQ(SettingsFields()[i].top, e.top) << i;
    EXPECT_EQ(121, e.right - e.left);
    EXPECT_EQ(21, e.bottom - e.top);
    RECT l = ClientBox(d.labels[i], d.window);
    EXPECT_EQ(SettingsFields()[i].left - 4, l.right) << i;
    EXPECT_TRUE(GetWindowLongW(d.labels[i], GWL_STYLE) & SS_RIGHT);
  }
  LOGFONTW font = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(d.edits[0], WM_GETFONT, 0, 0)), sizeof font,
             &font);
  EXPECT_EQ(-12, font.lfHeight);
  EXPECT_EQ(std::wstring(L"宋体"), font.lfFaceName);
}

void CheckTabOrder(const Dialog& d) {
  std::vector<HWND> order = d.buttons;
  order.insert(order.end(), d.edits.begin(), d.edits.end());
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(order[(i + 1) % order.size()], GetNextDlgTabItem(d.window, order[i], FALSE)) << i;
  }
}

TEST_F(WinDialog, LooksAsDesignedAndSavesTypedValuesOnConfirm) {
  Outcome o = Run52([](const Dialog& d) {
    CheckLayout(d);
    CheckGlyphs(d);
    CheckTabOrder(d);
    // Enter and Esc close nothing: neither button is a default or cancel button.
    PostMessageW(d.edits[0], WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(d.edits[0], WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(Settle(d.edits[0])) << "Enter or Esc closed the dialog";
    EXPECT_TRUE(IsWindowVisible(d.window));
    SetText(d.edits[0], L"COM7");
    SetText(d.edits[7], L"前置机");
    SetText(d.edits[8], L"0101");
    UpdateWindow(d.window);
    Sleep(300);  // the screen catches up with the drawing (for the picture only)
    Picture(d.window, Folder() + "settings-dialog.bmp");
    SendMessageW(d.buttons[0], BM_CLICK, 0, 0);
  });
  EXPECT_EQ(0, o.status);
  EXPECT_EQ("0~~~~", o.reply);
  EXPECT_EQ("; workstation 3\r\n[HardWare]\r\nCom=COM7\r\nReadType=7\r\nCardType=501\r\n"
            "OpType=1\r\nbaud=9600\r\n[SYSTEM]\r\nLocalIP=\x81\x20x\r\nNativeAddress=\r\n"
            "NativeServer=前置机\r\nAREAID=0101\r\n",
            ReadFile(Cfg()));
}

TEST_F(WinDialog, CancelAndCloseBoxLeaveTheFileAsItWasAndNothingBehind) {
  const DWORD gdi_before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  Outcome cancel = Run52([](const Dialog& d) {
    SetText(d.edits[0], L"9");
    SendMessageW(d.buttons[1], BM_CLICK, 0, 0);
  });
  Outcome close_box = Run52([](const Dialog& d) {
    SetText(d.edits[5], L"10.0.0.9");
    PostMessageW(d.window, WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  EXPECT_EQ(0, cancel.status);
  EXPECT_EQ("0~~~~", cancel.reply);
  EXPECT_EQ(0, close_box.status);
  EXPECT_EQ("0~~~~", close_box.reply);
  EXPECT_EQ(kFile, ReadFile(Cfg()));
  EXPECT_EQ(nullptr, FindWindowW(nullptr, kCaption));
  EXPECT_EQ(gdi_before, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
}

TEST_F(WinDialog, AnEmptiedEditIsSavedEmptyAndUntouchedBytesStay) {
  Outcome o = Run52([](const Dialog& d) {
    SetText(d.edits[1], L"");
    SendMessageW(d.buttons[0], BM_CLICK, 0, 0);
  });
  EXPECT_EQ(0, o.status);
  std::string file = ReadFile(Cfg());
  EXPECT_NE(std::string::npos, file.find("\r\nReadType=\r\n")) << file;
  EXPECT_NE(std::string::npos, file.find("\r\nLocalIP=\x81\x20x\r\n")) << file;
}

TEST_F(WinDialog, ARefusedSaveFailsNamingTheFileAndChangesNothing) {
  ASSERT_TRUE(SetFileAttributesA(Cfg().c_str(), FILE_ATTRIBUTE_READONLY));
  Outcome o = Run52([](const Dialog& d) {
    SetText(d.edits[0], L"4");
    SendMessageW(d.buttons[0], BM_CLICK, 0, 0);
  });
  SetFileAttributesA(Cfg().c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(-1, o.status);
  EXPECT_EQ(0u, o.reply.rfind("$$-1~1050%%交易申请实现函数(f_UCApply):018%%-7044%%错误原因:"
                              "参数配置未能保存：无法写入文件" + Cfg(), 0))
      << o.reply;
  EXPECT_EQ(kFile, ReadFile(Cfg()));
}

TEST_F(WinNoDisplay, TheCallFailsAndSaysSo) {
  std::vector<char> reply(1 << 16, '\0');
  EXPECT_EQ(-1, Apply()(52, 0, "", reply.data(), ""));
  std::string r = reply.data();
  const bool known = r.rfind("$$-1~1050%%交易申请实现函数(f_UCApply):018%%-7040%%", 0) == 0 ||
                     r.rfind("$$-1~1050%%交易申请实现函数(f_UCApply):018%%-7042%%", 0) == 0;
  EXPECT_TRUE(known) << r;
  EXPECT_EQ(kFile, ReadFile(Cfg()));
}

}  // namespace
}  // namespace corvane::testing
